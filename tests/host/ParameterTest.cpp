#include "effect/CrusherParam.h"
#include "tests/host/LibraryFixture.h"

#include <cstring>
#include <string>

namespace
{
using ParameterTest = EntryTest;

TEST_P(ParameterTest, NewInstanceAnswersTheDefaults)
{
    PluginInstance instance(entry());
    ASSERT_TRUE(instance);
    const float expected[] = {1.0f, 1.0f, 1.0f, 0.0f, 0.2f, 0.0f,   0.0f,  1.0f,
                              0.0f, 0.0f, 1.0f, 0.0f, 5.0f, 128.0f, 32.0f, 0.0f};
    for (VstInt32 index = 0; index < 16; ++index)
    {
        SCOPED_TRACE(index);
        EXPECT_EQ(instance->getParameter(instance.get(), index), expected[index]);
    }
    EXPECT_EQ(instance->getParameter(instance.get(), -1), 0.0f);
}

TEST_P(ParameterTest, StoresValuesAsGivenButForTheCutoffFloorAndReadOnlyScales)
{
    PluginInstance instance(entry());
    ASSERT_TRUE(instance);
    const struct
    {
        VstInt32 index;
        float value;
        float readBack;
    } cases[] = {
        {kInputGain, 0.3f, 0.3f},
        {kOutputGain, 1.7f, 1.7f},
        {kFilterType, -0.5f, -0.5f},
        {kCutoff, 0.0f, 0.001f},
        {kCutoff, -3.0f, 0.001f},
        {kCutoff, 0.0005f, 0.001f},
        {kCutoff, 0.001f, 0.001f},
        {kCutoff, 0.5f, 0.5f},
        {kDistortionRange, 0.7f, 5.0f},
        {kPreQuantSteps, 1.0f, 128.0f},
        {kQuantSteps, 0.0f, 32.0f},
        {15, 0.9f, 0.0f},
        {-7, 0.9f, 0.0f},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "index " << c.index << " value " << c.value);
        instance->setParameter(instance.get(), c.index, c.value);
        EXPECT_EQ(instance->getParameter(instance.get(), c.index), c.readBack);
    }
    EXPECT_TRUE(host.requestsWith(audioMasterAutomate).empty()) << "setParameter does not notify the host";
}

TEST_P(ParameterTest, NamesForTheTwelveUserParameters)
{
    PluginInstance instance(entry());
    ASSERT_TRUE(instance);
    const char* names[] = {"Input Gain",    "PreQuantization", "Cutoff",      "Rezonance",
                           "Distortion",    "Crack Threshold", "Noise Level", "Quantization",
                           "Pre Inversion", "Post Inversion",  "Output Gain", "Filter Type"};
    for (VstInt32 index = 0; index < 12; ++index)
    {
        SCOPED_TRACE(index);
        EXPECT_EQ(instance.text(effGetParamName, index), names[index]);
    }
}

TEST_P(ParameterTest, OtherIndicesLeaveTheNameBufferUntouched)
{
    PluginInstance instance(entry());
    ASSERT_TRUE(instance);
    for (VstInt32 index : {12, 13, 14, 15, 100, -1})
    {
        SCOPED_TRACE(index);
        char buffer[32];
        std::memset(buffer, '#', sizeof(buffer));
        instance.dispatch(effGetParamName, index, 0, buffer);
        for (char c : buffer)
        {
            ASSERT_EQ(c, '#');
        }
    }
}

TEST_P(ParameterTest, DisplayIsTheValueInDecibelsAndTheLabelDb)
{
    PluginInstance instance(entry());
    ASSERT_TRUE(instance);
    instance->setParameter(instance.get(), kOutputGain, 0.5f);
    const struct
    {
        VstInt32 index;
        const char* display;
    } cases[] = {
        {kInputGain, "0.000000"},     // 1.0 is 0 dB
        {kCrackThreshold, "-oo"},     // 0
        {kResonance, "-oo"},          // 0
        {kOutputGain, "-6.02059"},    // 0.5
        {kPreQuantSteps, "42.14419"}, // 128
        {15, "-oo"},                  // beyond the table: 0
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(instance.text(effGetParamDisplay, c.index), c.display);
    }
    for (VstInt32 index = -1; index < 16; ++index)
    {
        SCOPED_TRACE(index);
        EXPECT_EQ(instance.text(effGetParamLabel, index), "dB");
    }
}

THR_INSTANTIATE_FOR_BOTH_ENTRIES(ParameterTest);
} // namespace

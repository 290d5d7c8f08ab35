#include "host/NumberText.h"

#include "host/EffectBase.h"
#include "host/PluginModule.h"
#include "tests/support/TestHost.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace
{
std::string fixedWidth(float value)
{
    char text[16];
    std::memset(text, '#', sizeof(text));
    formatFixedWidth(value, text);
    return text;
}

std::string integer(VstInt32 value)
{
    char text[16];
    std::memset(text, '#', sizeof(text));
    formatInteger(value, text);
    return text;
}

TEST(NumberText, FixedWidthCutsDigitsToEightCharacters)
{
    const struct
    {
        float value;
        const char* text;
    } cases[] = {
        {1.0f, "1.000000"},
        {0.5f, "0.500000"},
        {-6.0206f, "-6.02059"},
        {123.25f, "123.2500"},
        {0.7f, "0.699999"},
        {0.0f, "0.000000"},
        {-0.25f, "-0.25000"},
        {1234567.0f, "1234567."},
        {-123456.0f, "-123456."},
        {12345678.0f, "2345678."},
        {-9999999.0f, "-999999."}, // leading digits dropped
        {100000000.0f, "Huge!"},
        {-10000000.0f, "Huge!"},
        {std::numeric_limits<float>::infinity(), "Huge!"},
        {-std::numeric_limits<float>::infinity(), "Huge!"},
        {std::nanf(""), "NaN"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(fixedWidth(c.value), c.text);
    }
}

TEST(NumberText, EveryFixedWidthTextFitsNineBytes)
{
    for (float value = -20000000.0f; value < 200000000.0f; value = value * -1.37f + 0.3f)
    {
        SCOPED_TRACE(value);
        EXPECT_LE(fixedWidth(value).size(), 8u);
        if (std::fabs(value) > 1e9f)
        {
            break;
        }
    }
}

TEST(NumberText, IntegerIsSevenWideAndCutAtEight)
{
    const struct
    {
        VstInt32 value;
        const char* text;
    } cases[] = {
        {42, "     42"},      {0, "      0"},        {-5, "     -5"},         {99999999, "99999999"},
        {100000000, "Huge!"}, {2147483647, "Huge!"}, {-12345678, "-1234567"}, {-2147483647 - 1, "-2147483"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(integer(c.value), c.text);
    }
}

// The effect's own helpers, which reach the formatting through its sample rate.
class EffectText : public ::testing::Test
{
protected:
    TestHost host;
    PluginInstance instance{pluginMain};
    EffectBase& effect() { return *static_cast<EffectBase*>(instance->object); }
};

TEST_F(EffectText, DecibelsHertzAndMilliseconds)
{
    ASSERT_TRUE(instance);
    char text[16];
    const struct
    {
        const char* label;
        void (EffectBase::*helper)(float, char*);
        float value;
        const char* expected;
    } cases[] = {
        {"dB of 0", &EffectBase::dbToText, 0.0f, "-oo"},
        {"dB of -1", &EffectBase::dbToText, -1.0f, "-oo"},
        {"dB of 1", &EffectBase::dbToText, 1.0f, "0.000000"},
        {"dB of 0.5", &EffectBase::dbToText, 0.5f, "-6.02059"},
        {"Hz of 0 samples", &EffectBase::hzToText, 0.0f, "0.000000"},
        {"Hz of 100 samples", &EffectBase::hzToText, 100.0f, "441.0000"},
        {"ms of 441 samples", &EffectBase::msToText, 441.0f, "10.00000"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.label);
        (effect().*c.helper)(c.value, text);
        EXPECT_STREQ(text, c.expected);
    }
    effect().longToText(42, text);
    EXPECT_STREQ(text, "     42");
}
} // namespace

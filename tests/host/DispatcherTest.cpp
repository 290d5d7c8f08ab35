#include "effect/CrusherParam.h"
#include "host/EffectBase.h"
#include "tests/host/LibraryFixture.h"

#include <cstring>
#include <string>

namespace
{
using DispatcherTest = EntryTest;

struct OpcodeCase
{
    const char* label;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
    VstIntPtr expected;
};

// Requests whose answer needs no buffer, as this plug-in answers them.
const OpcodeCase kOpcodeCases[] = {
    {"effOpen", effOpen, 0, 0, 0.0f, 0},
    {"effGetProgram", effGetProgram, 0, 0, 0.0f, 0},
    {"effGetVu", effGetVu, 0, 0, 0.0f, 0},
    {"effSetSampleRate", effSetSampleRate, 0, 0, 48000.0f, 0},
    {"effSetBlockSize", effSetBlockSize, 0, 256, 0.0f, 0},
    {"effMainsChanged on", effMainsChanged, 0, 1, 0.0f, 0},
    {"effMainsChanged off", effMainsChanged, 0, 0, 0.0f, 0},
    {"effEditClose", effEditClose, 0, 0, 0.0f, 0},
    {"effEditDraw", effEditDraw, 0, 0, 0.0f, 0},
    {"effEditMouse", effEditMouse, 1, 2, 0.0f, 0},
    {"effEditKey", effEditKey, 1, 2, 0.0f, 0},
    {"effEditIdle", effEditIdle, 0, 0, 0.0f, 0},
    {"effEditTop", effEditTop, 0, 0, 0.0f, 0},
    {"effEditSleep", effEditSleep, 0, 0, 0.0f, 0},
    {"effIdentify", effIdentify, 0, 0, 0.0f, 0x4E764566},
    {"effIdentify with arguments", effIdentify, 7, 99, 3.5f, 0x4E764566},
    {"effGetChunk without buffer", effGetChunk, 1, 0, 0.0f, 0},
    {"effProcessEvents", effProcessEvents, 0, 0, 0.0f, 0},
    {"effCanBeAutomated", effCanBeAutomated, 3, 0, 0.0f, 1},
    {"effString2Parameter", effString2Parameter, 3, 0, 0.0f, 0},
    {"effGetNumProgramCategories", effGetNumProgramCategories, 0, 0, 0.0f, 1},
    {"effCopyProgram", effCopyProgram, 2, 0, 0.0f, 0},
    {"effConnectInput", effConnectInput, 0, 1, 0.0f, 1},
    {"effConnectOutput", effConnectOutput, 1, 0, 0.0f, 1},
    {"effGetInputProperties", effGetInputProperties, 0, 0, 0.0f, 0},
    {"effGetOutputProperties", effGetOutputProperties, 0, 0, 0.0f, 0},
    {"effGetPlugCategory", effGetPlugCategory, 0, 0, 0.0f, 1},
    {"effGetCurrentPosition", effGetCurrentPosition, 0, 0, 0.0f, 0},
    {"effGetDestinationBuffer", effGetDestinationBuffer, 0, 0, 0.0f, 0},
    {"effOfflineNotify", effOfflineNotify, 1, 0, 0.0f, 0},
    {"effOfflinePrepare", effOfflinePrepare, 0, 0, 0.0f, 0},
    {"effOfflineRun", effOfflineRun, 0, 0, 0.0f, 0},
    {"effProcessVarIo", effProcessVarIo, 0, 0, 0.0f, 0},
    {"effSetSpeakerArrangement", effSetSpeakerArrangement, 0, 0, 0.0f, 0},
    {"effSetBlockSizeAndSampleRate", effSetBlockSizeAndSampleRate, 0, 512, 48000.0f, 1},
    {"effSetBypass", effSetBypass, 0, 1, 0.0f, 0},
    {"effGetVendorVersion", effGetVendorVersion, 0, 0, 0.0f, 1000},
    {"effVendorSpecific", effVendorSpecific, 1, 2, 3.0f, 0},
    {"effCanDo without text", effCanDo, 0, 0, 0.0f, 0},
    {"effGetTailSize", effGetTailSize, 0, 0, 0.0f, 0},
    {"effIdle", effIdle, 0, 0, 0.0f, 0},
    {"effGetIcon", effGetIcon, 0, 0, 0.0f, 0},
    {"effSetViewPosition", effSetViewPosition, 10, 20, 0.0f, 0},
    {"effGetParameterProperties", effGetParameterProperties, 0, 0, 0.0f, 0},
    {"effKeysRequired", effKeysRequired, 0, 0, 0.0f, 1},
    {"effGetVstVersion", effGetVstVersion, 0, 0, 0.0f, 2300},
    {"effEditKeyDown, no key used", effEditKeyDown, 65, 0x1FF, 3.9f, -1},
    {"effEditKeyUp, no key used", effEditKeyUp, 65, 0, 0.0f, -1},
    {"effSetEditKnobMode", effSetEditKnobMode, 0, 2, 0.0f, 0},
    {"effGetMidiProgramName", effGetMidiProgramName, 0, 0, 0.0f, 0},
    {"effGetCurrentMidiProgram", effGetCurrentMidiProgram, 0, 0, 0.0f, -1},
    {"effGetMidiProgramCategory", effGetMidiProgramCategory, 0, 0, 0.0f, 0},
    {"effHasMidiProgramsChanged", effHasMidiProgramsChanged, 0, 0, 0.0f, 0},
    {"effGetMidiKeyName", effGetMidiKeyName, 0, 0, 0.0f, 0},
    {"effBeginSetProgram", effBeginSetProgram, 0, 0, 0.0f, 0},
    {"effEndSetProgram", effEndSetProgram, 0, 0, 0.0f, 0},
    {"effShellGetNextPlugin without text", effShellGetNextPlugin, 0, 0, 0.0f, 0},
    {"effStartProcess", effStartProcess, 0, 0, 0.0f, 0},
    {"effStopProcess", effStopProcess, 0, 0, 0.0f, 0},
    {"effSetTotalSampleToProcess", effSetTotalSampleToProcess, 0, 1234, 0.0f, 1234},
    {"effSetPanLaw", effSetPanLaw, 0, 0, 0.5f, 0},
    {"effBeginLoadBank", effBeginLoadBank, 0, 0, 0.0f, 0},
    {"effBeginLoadProgram", effBeginLoadProgram, 0, 0, 0.0f, 0},
    {"opcode 77", 77, 0, 0, 0.0f, 0},
    {"opcode 100", 100, 5, 5, 5.0f, 0},
    {"opcode -1", -1, 0, 0, 0.0f, 0},
    {"opcode -1000", -1000, 0, 0, 0.0f, 0},
};

TEST_P(DispatcherTest, AnswersEveryRequestAsTabled)
{
    PluginInstance instance(entry());
    ASSERT_TRUE(instance);
    for (const OpcodeCase& c : kOpcodeCases)
    {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(instance.dispatch(c.opcode, c.index, c.value, nullptr, c.opt), c.expected);
    }
}

TEST_P(DispatcherTest, TextRequestsWithoutABufferWriteNothing)
{
    PluginInstance instance(entry());
    ASSERT_TRUE(instance);
    for (VstInt32 opcode : {effSetProgramName, effGetProgramName, effGetParamLabel, effGetParamDisplay,
                            effGetParamName, effGetProgramNameIndexed, effGetEffectName, effGetErrorText,
                            effGetVendorString, effGetProductString, effCanDo, effShellGetNextPlugin})
    {
        SCOPED_TRACE(opcode);
        EXPECT_EQ(instance.dispatch(opcode, 0, 0, nullptr), 0);
    }
}

TEST_P(DispatcherTest, IdentityTexts)
{
    PluginInstance instance(entry());
    ASSERT_TRUE(instance);
    const struct
    {
        VstInt32 opcode;
        const char* text;
        VstIntPtr answer;
    } cases[] = {
        {effGetEffectName, "Thrummelgrinder", 1},
        {effGetProductString, "Thrummelgrinder", 1},
        {effGetVendorString, "Vantorlyx", 1},
        {effGetErrorText, "", 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.opcode);
        char buffer[64] = {};
        EXPECT_EQ(instance.dispatch(c.opcode, 0, 0, buffer), c.answer);
        EXPECT_STREQ(buffer, c.text);
    }
}

TEST_P(DispatcherTest, CanDoAnswersNoForEveryCapability)
{
    PluginInstance instance(entry());
    ASSERT_TRUE(instance);
    for (const char* capability : {"sendVstEvents", "receiveVstEvents", "receiveVstMidiEvent", "bypass",
                                   "plugAsChannelInsert", "1in1out", "2in2out", "", "anything at all"})
    {
        SCOPED_TRACE(capability);
        std::string text = capability;
        EXPECT_EQ(instance.dispatch(effCanDo, 0, 0, text.data()), 0);
    }
}

TEST_P(DispatcherTest, ProgramNumberIsBoundedAboveOnly)
{
    PluginInstance instance(entry());
    ASSERT_TRUE(instance);
    const struct
    {
        VstIntPtr requested;
        VstIntPtr current;
    } steps[] = {{15, 15}, {16, 15}, {1000, 15}, {5, 5}, {-3, -3}, {0, 0}};
    for (const auto& step : steps)
    {
        SCOPED_TRACE(step.requested);
        instance.dispatch(effSetProgram, 0, step.requested);
        EXPECT_EQ(instance.dispatch(effGetProgram), step.current);
    }
}

TEST_P(DispatcherTest, ProgramsShareOneNameCutAtThirtyOneCharacters)
{
    PluginInstance instance(entry());
    ASSERT_TRUE(instance);
    EXPECT_EQ(instance.text(effGetProgramName), "Default");
    char name[] = "Snare Crush";
    instance.dispatch(effSetProgramName, 0, 0, name);
    instance.dispatch(effSetProgram, 0, 5);
    EXPECT_EQ(instance.text(effGetProgramName), "Snare Crush");

    std::string longName(40, 'x');
    longName += "END";
    instance.dispatch(effSetProgramName, 0, 0, longName.data());
    EXPECT_EQ(instance.text(effGetProgramName), std::string(31, 'x'));
}

TEST_P(DispatcherTest, SampleRateAndBlockSizeAreStored)
{
    PluginInstance instance(entry());
    ASSERT_TRUE(instance);
    auto* object = static_cast<EffectBase*>(instance->object);
    EXPECT_EQ(object->getSampleRate(), 44100.0f);
    EXPECT_EQ(object->getBlockSize(), 1024);
    instance.dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    instance.dispatch(effSetBlockSize, 0, 64);
    EXPECT_EQ(object->getSampleRate(), 96000.0f);
    EXPECT_EQ(object->getBlockSize(), 64);
    EXPECT_EQ(instance.dispatch(effSetBlockSizeAndSampleRate, 0, 512, nullptr, 48000.0f), 1);
    EXPECT_EQ(object->getSampleRate(), 48000.0f);
    EXPECT_EQ(object->getBlockSize(), 512);
}

TEST_P(DispatcherTest, EditorRequestsGetTheBaseEditorsAnswers)
{
    PluginInstance instance(entry());
    ASSERT_TRUE(instance);
    ERect* rect = reinterpret_cast<ERect*>(&rect); // anything but null
    EXPECT_EQ(instance.dispatch(effEditGetRect, 0, 0, &rect), 0);
    EXPECT_EQ(rect, nullptr);
    EXPECT_EQ(instance.dispatch(effEditGetRect, 0, 0, nullptr), 0);
    EXPECT_EQ(instance.dispatch(effEditOpen, 0, 0, nullptr), 0);
    EXPECT_EQ(instance.dispatch(effEditIdle), 0);
    EXPECT_EQ(instance.dispatch(effEditClose), 0);
}

THR_INSTANTIATE_FOR_BOTH_ENTRIES(DispatcherTest);
} // namespace

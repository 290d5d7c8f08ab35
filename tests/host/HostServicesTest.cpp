#include "editor/EditorBase.h"
#include "host/EffectBaseExt.h"
#include "tests/support/TestHost.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace
{
// An effect class that replaces nothing but what the tests watch: it shows the base
// classes' defaults and counts the operations the dispatcher reaches.
class SpyEffect : public EffectBaseExt
{
public:
    explicit SpyEffect(audioMasterCallback audioMaster)
        : EffectBaseExt(audioMaster, 16, 4)
    {
    }

    void process(float**, float**, VstInt32) override {}
    void suspend() override { ++suspendCalls; }
    void resume() override { ++resumeCalls; }
    float getVu() override { return vu; }
    VstInt32 getChunk(void** data, bool isPreset) override
    {
        *data = nullptr;
        lastPresetFlag = isPreset;
        return 77;
    }
    VstInt32 setChunk(void*, VstInt32 byteSize, bool isPreset) override
    {
        lastPresetFlag = isPreset;
        return byteSize;
    }

    using EffectBase::getRecord;

    int suspendCalls = 0;
    int resumeCalls = 0;
    float vu = 0.0f;
    bool lastPresetFlag = false;
};

class SpyEditor : public EditorBase
{
public:
    explicit SpyEditor(EffectBase* owner)
        : EditorBase(owner)
    {
    }
    VstInt32 editKeyDown(VstKeyCode& key) override
    {
        lastKey = key;
        return 1;
    }
    VstKeyCode lastKey{};
};

class HostServices : public ::testing::Test
{
protected:
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f)
    {
        return effect.dispatcher(opcode, index, value, ptr, opt);
    }

    TestHost host;
    SpyEffect effect{TestHost::callback};
};

TEST_F(HostServices, MainsChangedSwitchesOnForAnyNonZeroValue)
{
    dispatch(effMainsChanged, 0, 2);
    dispatch(effMainsChanged, 0, -1);
    dispatch(effMainsChanged, 0, 0);
    EXPECT_EQ(effect.resumeCalls, 2);
    EXPECT_EQ(effect.suspendCalls, 1);
}

TEST_F(HostServices, VuIsScaledAndTruncated)
{
    const struct
    {
        float vu;
        VstIntPtr answer;
    } cases[] = {{0.0f, 0}, {0.5f, 16383}, {1.0f, 32767}, {-0.5f, -16383}, {1e30f, 0}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.vu);
        effect.vu = c.vu;
        EXPECT_EQ(dispatch(effGetVu), c.answer);
    }
}

TEST_F(HostServices, ChunkRequestsPassThePresetFlagFromTheIndex)
{
    void* data = &data;
    EXPECT_EQ(dispatch(effGetChunk, 0, 0, &data), 77);
    EXPECT_FALSE(effect.lastPresetFlag);
    EXPECT_EQ(dispatch(effGetChunk, 5, 0, &data), 77);
    EXPECT_TRUE(effect.lastPresetFlag);
    EXPECT_EQ(dispatch(effSetChunk, 0, 12, &data), 12);
    EXPECT_FALSE(effect.lastPresetFlag);
    EXPECT_EQ(dispatch(effSetChunk, -1, 12, &data), 12);
    EXPECT_TRUE(effect.lastPresetFlag);
}

TEST_F(HostServices, CategoryFollowsTheSynthFlag)
{
    EXPECT_EQ(dispatch(effGetPlugCategory), kPlugCategUnknown);
    effect.setIsSynth(true);
    EXPECT_EQ(dispatch(effGetPlugCategory), kPlugCategSynth);
    EXPECT_EQ(effect.getRecord()->flags & effFlagsIsSynth, effFlagsIsSynth);
    effect.setIsSynth(false);
    EXPECT_EQ(dispatch(effGetPlugCategory), kPlugCategUnknown);
}

TEST_F(HostServices, FlagSettersTouchOnlyTheirOwnBit)
{
    const struct
    {
        std::function<void(bool)> set;
        VstInt32 bit;
    } setters[] = {
        {[this](bool s) { effect.setHasVu(s); }, effFlagsHasVu},
        {[this](bool s) { effect.setHasClip(s); }, effFlagsHasClip},
        {[this](bool s) { effect.setCanMono(s); }, effFlagsCanMono},
        {[this](bool s) { effect.setCanReplacing(s); }, effFlagsCanReplacing},
        {[this](bool s) { effect.setProgramChunks(s); }, effFlagsProgramChunks},
        {[this](bool s) { effect.setIsSynth(s); }, effFlagsIsSynth},
        {[this](bool s) { effect.setNoSoundInStop(s); }, effFlagsNoSoundInStop},
        {[this](bool s) { effect.setExtIsAsync(s); }, effFlagsExtIsAsync},
        {[this](bool s) { effect.setExtHasBuffer(s); }, effFlagsExtHasBuffer},
    };
    const VstInt32 others = 0x40000000;
    for (const auto& setter : setters)
    {
        SCOPED_TRACE(setter.bit);
        effect.getRecord()->flags = others;
        setter.set(true);
        EXPECT_EQ(effect.getRecord()->flags, others | setter.bit);
        setter.set(false);
        EXPECT_EQ(effect.getRecord()->flags, others);
    }
}

TEST_F(HostServices, KeyRecordIsBuiltFromIndexValueAndOpt)
{
    auto* editor = new SpyEditor(&effect);
    effect.attachEditor(editor);
    EXPECT_EQ(effect.getRecord()->flags & effFlagsHasEditor, effFlagsHasEditor);
    EXPECT_EQ(dispatch(effEditKeyDown, 65, 0x1FF, nullptr, 3.9f), 1);
    EXPECT_EQ(editor->lastKey.character, 65);
    EXPECT_EQ(editor->lastKey.virt, 255);
    EXPECT_EQ(editor->lastKey.modifier, 3);
    EXPECT_EQ(dispatch(effEditKeyDown, 1, 2, nullptr, std::nanf("")), 1);
    EXPECT_EQ(editor->lastKey.modifier, 0) << "a modifier no integer holds is none";
    effect.attachEditor(nullptr);
    EXPECT_EQ(effect.getRecord()->flags & effFlagsHasEditor, 0);
    delete editor;
    EXPECT_EQ(dispatch(effEditKeyDown, 65, 0, nullptr, 0.0f), 0) << "no editor, no answer";
}

struct WrapperCase
{
    const char* label;
    std::function<VstIntPtr(SpyEffect&)> call;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
};

char gText[64] = "text";
int gWindow = 0;

TEST_F(HostServices, WrappersSendOneRequestEach)
{
    const WrapperCase cases[] = {
        {"automateParameter",
         [](SpyEffect& e)
         {
             e.automateParameter(3, 0.25f);
             return 0;
         },
         audioMasterAutomate, 3, 0, 0.25f},
        {"getHostVersion", [](SpyEffect& e) { return e.getHostVersion(); }, audioMasterVersion, 0, 0, 0},
        {"getHostCurrentId", [](SpyEffect& e) { return e.getHostCurrentId(); }, audioMasterCurrentId, 0, 0,
         0},
        {"hostIdle",
         [](SpyEffect& e)
         {
             e.hostIdle();
             return 0;
         },
         audioMasterIdle, 0, 0, 0},
        {"isInputPinConnected", [](SpyEffect& e) { return e.isInputPinConnected(1) ? 1 : 0; },
         audioMasterPinConnected, 1, 0, 0},
        {"isOutputPinConnected", [](SpyEffect& e) { return e.isOutputPinConnected(1) ? 1 : 0; },
         audioMasterPinConnected, 1, 1, 0},
        {"wantMidi", [](SpyEffect& e) { return e.wantMidi(1); }, audioMasterWantMidi, 0, 1, 0},
        {"getTimeInfo", [](SpyEffect& e) { return reinterpret_cast<VstIntPtr>(e.getTimeInfo(0x200)); },
         audioMasterGetTime, 0, 0x200, 0},
        {"tempoAt", [](SpyEffect& e) { return e.tempoAt(4410); }, audioMasterTempoAt, 0, 4410, 0},
        {"getNumAutomatableParameters", [](SpyEffect& e) { return e.getNumAutomatableParameters(); },
         audioMasterGetNumAutomatableParameters, 0, 0, 0},
        {"getParameterQuantization", [](SpyEffect& e) { return e.getParameterQuantization(); },
         audioMasterGetParameterQuantization, 0, 0, 0},
        {"ioChanged", [](SpyEffect& e) { return e.ioChanged() ? 1 : 0; }, audioMasterIOChanged, 0, 0, 0},
        {"needIdle", [](SpyEffect& e) { return e.needIdle() ? 1 : 0; }, audioMasterNeedIdle, 0, 0, 0},
        {"sizeWindow", [](SpyEffect& e) { return e.sizeWindow(500, 350) ? 1 : 0; }, audioMasterSizeWindow,
         500, 350, 0},
        {"fetchSampleRate", [](SpyEffect& e) { return static_cast<VstIntPtr>(e.fetchSampleRate()); },
         audioMasterGetSampleRate, 0, 0, 0},
        {"fetchBlockSize", [](SpyEffect& e) { return e.fetchBlockSize(); }, audioMasterGetBlockSize, 0, 0, 0},
        {"getInputLatency", [](SpyEffect& e) { return e.getInputLatency(); }, audioMasterGetInputLatency, 0,
         0, 0},
        {"getOutputLatency", [](SpyEffect& e) { return e.getOutputLatency(); }, audioMasterGetOutputLatency,
         0, 0, 0},
        {"getPreviousPlug", [](SpyEffect& e) { return reinterpret_cast<VstIntPtr>(e.getPreviousPlug(3)); },
         audioMasterGetPreviousPlug, 0, 0, 0},
        {"getNextPlug", [](SpyEffect& e) { return reinterpret_cast<VstIntPtr>(e.getNextPlug(3)); },
         audioMasterGetNextPlug, 0, 0, 0},
        {"willReplaceOrAccumulate", [](SpyEffect& e) { return e.willReplaceOrAccumulate(); },
         audioMasterWillReplaceOrAccumulate, 0, 0, 0},
        {"getCurrentProcessLevel", [](SpyEffect& e) { return e.getCurrentProcessLevel(); },
         audioMasterGetCurrentProcessLevel, 0, 0, 0},
        {"getAutomationState", [](SpyEffect& e) { return e.getAutomationState(); },
         audioMasterGetAutomationState, 0, 0, 0},
        {"offlineStart", [](SpyEffect& e) { return e.offlineStart(gText, 2, 3) ? 1 : 0; },
         audioMasterOfflineStart, 3, 2, 0},
        {"offlineRead", [](SpyEffect& e) { return e.offlineRead(gText, 5, true) ? 1 : 0; },
         audioMasterOfflineRead, 1, 5, 0},
        {"offlineWrite", [](SpyEffect& e) { return e.offlineWrite(gText, 6) ? 1 : 0; },
         audioMasterOfflineWrite, 0, 6, 0},
        {"offlineGetCurrentPass", [](SpyEffect& e) { return e.offlineGetCurrentPass() ? 1 : 0; },
         audioMasterOfflineGetCurrentPass, 0, 0, 0},
        {"offlineGetCurrentMetaPass", [](SpyEffect& e) { return e.offlineGetCurrentMetaPass() ? 1 : 0; },
         audioMasterOfflineGetCurrentMetaPass, 0, 0, 0},
        {"setOutputSampleRate", [](SpyEffect& e) { return e.setOutputSampleRate(22050.0f); },
         audioMasterSetOutputSampleRate, 0, 0, 22050.0f},
        {"getHostOutputArrangement",
         [](SpyEffect& e) { return reinterpret_cast<VstIntPtr>(e.getHostOutputArrangement()); },
         audioMasterGetSpeakerArrangement, 0, 0, 0},
        {"getHostVendorString", [](SpyEffect& e) { return e.getHostVendorString(gText) ? 1 : 0; },
         audioMasterGetVendorString, 0, 0, 0},
        {"getHostProductString", [](SpyEffect& e) { return e.getHostProductString(gText) ? 1 : 0; },
         audioMasterGetProductString, 0, 0, 0},
        {"getHostVendorVersion", [](SpyEffect& e) { return e.getHostVendorVersion(); },
         audioMasterGetVendorVersion, 0, 0, 0},
        {"hostVendorSpecific", [](SpyEffect& e) { return e.hostVendorSpecific(7, 8, gText, 9.0f); },
         audioMasterVendorSpecific, 7, 8, 9.0f},
        {"canHostDo", [](SpyEffect& e) { return e.canHostDo(gText) ? 1 : 0; }, audioMasterCanDo, 0, 0, 0},
        {"getHostLanguage", [](SpyEffect& e) { return e.getHostLanguage(); }, audioMasterGetLanguage, 0, 0,
         0},
        {"openHostWindow",
         [](SpyEffect& e) { return reinterpret_cast<VstIntPtr>(e.openHostWindow(&gWindow)); },
         audioMasterOpenWindow, 0, 0, 0},
        {"closeHostWindow", [](SpyEffect& e) { return e.closeHostWindow(&gWindow) ? 1 : 0; },
         audioMasterCloseWindow, 0, 0, 0},
        {"getDirectory", [](SpyEffect& e) { return reinterpret_cast<VstIntPtr>(e.getDirectory()); },
         audioMasterGetDirectory, 0, 0, 0},
        {"updateDisplay", [](SpyEffect& e) { return e.updateDisplay() ? 1 : 0; }, audioMasterUpdateDisplay, 0,
         0, 0},
        {"beginEdit", [](SpyEffect& e) { return e.beginEdit(4) ? 1 : 0; }, audioMasterBeginEdit, 4, 0, 0},
        {"endEdit", [](SpyEffect& e) { return e.endEdit(4) ? 1 : 0; }, audioMasterEndEdit, 4, 0, 0},
        {"openFileSelector", [](SpyEffect& e) { return e.openFileSelector(gText) ? 1 : 0; },
         audioMasterOpenFileSelector, 0, 0, 0},
        {"getHostInputArrangement",
         [](SpyEffect& e) { return reinterpret_cast<VstIntPtr>(e.getHostInputArrangement()); },
         audioMasterGetInputSpeakerArrangement, 0, 0, 0},
    };
    for (const WrapperCase& c : cases)
    {
        SCOPED_TRACE(c.label);
        host.clearRequests();
        c.call(effect);
        const std::vector<HostRequest> requests = host.requests();
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].effect, effect.getRecord());
        EXPECT_EQ(requests[0].opcode, c.opcode);
        EXPECT_EQ(requests[0].index, c.index);
        EXPECT_EQ(requests[0].value, c.value);
        EXPECT_EQ(requests[0].opt, c.opt);
    }
}

TEST_F(HostServices, WrappersTurnTheHostsAnswer)
{
    host.answer = [](const HostRequest& request) -> VstIntPtr
    { return request.opcode == audioMasterPinConnected ? 1 : 96000; };
    EXPECT_FALSE(effect.isInputPinConnected(0)) << "a host answering non-zero means not connected";
    EXPECT_EQ(effect.fetchSampleRate(), 96000.0f);
    EXPECT_EQ(effect.getSampleRate(), 96000.0f);
    EXPECT_EQ(effect.fetchBlockSize(), 96000);
    EXPECT_TRUE(effect.beginEdit(0));

    host.answer = [](const HostRequest&) -> VstIntPtr { return -5; };
    EXPECT_EQ(effect.fetchSampleRate(), 96000.0f) << "an answer of 0 or below keeps the stored rate";
    EXPECT_EQ(effect.fetchBlockSize(), 96000);
    host.versionAnswer = 0;
    EXPECT_EQ(effect.getHostVersion(), 1);
    EXPECT_FALSE(effect.openFileSelector(nullptr));
}

TEST(HostServicesWithoutHost, AnswerNeutrallyAndSendNothing)
{
    SpyEffect effect(nullptr);
    EXPECT_EQ(effect.getHostVersion(), 1);
    EXPECT_EQ(effect.getHostCurrentId(), 0);
    EXPECT_TRUE(effect.isInputPinConnected(0));
    EXPECT_TRUE(effect.isOutputPinConnected(0));
    EXPECT_EQ(effect.fetchSampleRate(), 44100.0f);
    EXPECT_EQ(effect.fetchBlockSize(), 1024);
    EXPECT_FALSE(effect.beginEdit(1));
    EXPECT_EQ(effect.getTimeInfo(0), nullptr);
    effect.automateParameter(0, 0.5f); // must not crash
    effect.hostIdle();
}

TEST(SpeakerArrangement, AllocateMatchAndFree)
{
    SpyEffect effect(nullptr);
    VstSpeakerArrangement* source = nullptr;
    ASSERT_TRUE(effect.allocateArrangement(&source, 3));
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->numChannels, 3);
    EXPECT_EQ(source->type, 0);
    source->type = 7;
    VstSpeakerProperties* speakers = source->speakers;
    for (int i = 0; i < 3; ++i)
    {
        speakers[i].azimuth = 0.5f * i;
        speakers[i].type = 10 + i;
        std::snprintf(speakers[i].name, sizeof(speakers[i].name), "speaker %d", i);
    }
    std::memset(speakers[2].name, 'x', sizeof(speakers[2].name)); // no terminating zero

    VstSpeakerArrangement* copy = nullptr;
    ASSERT_TRUE(effect.matchArrangement(&copy, source));
    EXPECT_EQ(copy->type, 7);
    EXPECT_EQ(copy->numChannels, 3);
    VstSpeakerProperties* copied = copy->speakers;
    EXPECT_STREQ(copied[1].name, "speaker 1");
    EXPECT_EQ(copied[1].azimuth, 0.5f);
    EXPECT_EQ(copied[1].type, 11);
    EXPECT_EQ(std::string(copied[2].name), std::string(63, 'x'))
        << "an unterminated name is cut, not overrun";

    EXPECT_FALSE(effect.matchArrangement(&copy, nullptr));
    EXPECT_FALSE(effect.copySpeaker(nullptr, speakers));
    VstSpeakerArrangement* inputs = source;
    VstSpeakerArrangement* outputs = copy;
    EXPECT_FALSE(effect.getSpeakerArrangement(&inputs, &outputs));
    EXPECT_EQ(inputs, nullptr);
    EXPECT_EQ(outputs, nullptr);
    EXPECT_TRUE(effect.deallocateArrangement(&source));
    EXPECT_TRUE(effect.deallocateArrangement(&copy));
    EXPECT_EQ(source, nullptr);
    EXPECT_TRUE(effect.deallocateArrangement(&source));
}
} // namespace

#pragma once

// The plug-in's binary interface with its host, written from the interface's record and
// opcode tables. Everything the host and the plug-in exchange is declared here: the
// instance record, the entry and callback signatures, the request numbers, and the small
// records passed by pointer.
//
// On 32-bit targets every field and argument has exactly its tabled width and the record is
// 144 bytes. On 64-bit targets pointers are 8 bytes, and the `value` argument and result of
// the dispatcher and of the host callback, and the record's resvd1/resvd2, are
// pointer-sized, as 64-bit hosts expect; everything else keeps its width.

#include <cstddef>
#include <cstdint>

using VstInt16 = std::int16_t;
using VstInt32 = std::int32_t;
using VstIntPtr = std::intptr_t;

struct AEffect;

// The host's side: every request the plug-in makes goes through this one function.
using audioMasterCallback = VstIntPtr (*)(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                          void* ptr, float opt);

// The plug-in's five entries, reached through the record.
using AEffectDispatcherProc = VstIntPtr (*)(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                            void* ptr, float opt);
using AEffectProcessProc = void (*)(AEffect* effect, float** inputs, float** outputs, VstInt32 sampleFrames);
using AEffectSetParameterProc = void (*)(AEffect* effect, VstInt32 index, float parameter);
using AEffectGetParameterProc = float (*)(AEffect* effect, VstInt32 index);

// 'V','s','t','P' read as a big-endian number.
constexpr VstInt32 kEffectMagic = 0x56737450;

struct AEffect
{
    VstInt32 magic;
    AEffectDispatcherProc dispatcher;
    AEffectProcessProc process;
    AEffectSetParameterProc setParameter;
    AEffectGetParameterProc getParameter;
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 numInputs;
    VstInt32 numOutputs;
    VstInt32 flags;
    VstIntPtr resvd1;
    VstIntPtr resvd2;
    VstInt32 initialDelay;
    VstInt32 realQualities;
    VstInt32 offQualities;
    float ioRatio;
    void* object;
    void* user;
    VstInt32 uniqueID;
    VstInt32 version;
    AEffectProcessProc processReplacing;
    char future[60];
};

#if INTPTR_MAX == INT32_MAX
static_assert(sizeof(AEffect) == 144, "the 32-bit instance record is 144 bytes");
static_assert(offsetof(AEffect, magic) == 0);
static_assert(offsetof(AEffect, dispatcher) == 4);
static_assert(offsetof(AEffect, process) == 8);
static_assert(offsetof(AEffect, setParameter) == 12);
static_assert(offsetof(AEffect, getParameter) == 16);
static_assert(offsetof(AEffect, numPrograms) == 20);
static_assert(offsetof(AEffect, numParams) == 24);
static_assert(offsetof(AEffect, numInputs) == 28);
static_assert(offsetof(AEffect, numOutputs) == 32);
static_assert(offsetof(AEffect, flags) == 36);
static_assert(offsetof(AEffect, resvd1) == 40);
static_assert(offsetof(AEffect, resvd2) == 44);
static_assert(offsetof(AEffect, initialDelay) == 48);
static_assert(offsetof(AEffect, realQualities) == 52);
static_assert(offsetof(AEffect, offQualities) == 56);
static_assert(offsetof(AEffect, ioRatio) == 60);
static_assert(offsetof(AEffect, object) == 64);
static_assert(offsetof(AEffect, user) == 68);
static_assert(offsetof(AEffect, uniqueID) == 72);
static_assert(offsetof(AEffect, version) == 76);
static_assert(offsetof(AEffect, processReplacing) == 80);
static_assert(offsetof(AEffect, future) == 84);
#else
static_assert(sizeof(void*) == 8, "only 32-bit and 64-bit targets are supported");
static_assert(offsetof(AEffect, resvd1) == 64 && offsetof(AEffect, object) == 96);
static_assert(offsetof(AEffect, processReplacing) == 120);
#endif

// Bits of AEffect::flags.
enum : VstInt32
{
    effFlagsHasEditor = 1,
    effFlagsHasClip = 2,
    effFlagsHasVu = 4,
    effFlagsCanMono = 8,
    effFlagsCanReplacing = 16,
    effFlagsProgramChunks = 32,
    effFlagsIsSynth = 256,
    effFlagsNoSoundInStop = 512,
    effFlagsExtIsAsync = 1024,
    effFlagsExtHasBuffer = 2048,
};

// Requests from the host to the plug-in (the dispatcher's opcode).
enum : VstInt32
{
    effOpen = 0,
    effClose = 1,
    effSetProgram = 2,
    effGetProgram = 3,
    effSetProgramName = 4,
    effGetProgramName = 5,
    effGetParamLabel = 6,
    effGetParamDisplay = 7,
    effGetParamName = 8,
    effGetVu = 9,
    effSetSampleRate = 10,
    effSetBlockSize = 11,
    effMainsChanged = 12,
    effEditGetRect = 13,
    effEditOpen = 14,
    effEditClose = 15,
    effEditDraw = 16,
    effEditMouse = 17,
    effEditKey = 18,
    effEditIdle = 19,
    effEditTop = 20,
    effEditSleep = 21,
    effIdentify = 22,
    effGetChunk = 23,
    effSetChunk = 24,
    effProcessEvents = 25,
    effCanBeAutomated = 26,
    effString2Parameter = 27,
    effGetNumProgramCategories = 28,
    effGetProgramNameIndexed = 29,
    effCopyProgram = 30,
    effConnectInput = 31,
    effConnectOutput = 32,
    effGetInputProperties = 33,
    effGetOutputProperties = 34,
    effGetPlugCategory = 35,
    effGetCurrentPosition = 36,
    effGetDestinationBuffer = 37,
    effOfflineNotify = 38,
    effOfflinePrepare = 39,
    effOfflineRun = 40,
    effProcessVarIo = 41,
    effSetSpeakerArrangement = 42,
    effSetBlockSizeAndSampleRate = 43,
    effSetBypass = 44,
    effGetEffectName = 45,
    effGetErrorText = 46,
    effGetVendorString = 47,
    effGetProductString = 48,
    effGetVendorVersion = 49,
    effVendorSpecific = 50,
    effCanDo = 51,
    effGetTailSize = 52,
    effIdle = 53,
    effGetIcon = 54,
    effSetViewPosition = 55,
    effGetParameterProperties = 56,
    effKeysRequired = 57,
    effGetVstVersion = 58,
    effEditKeyDown = 59,
    effEditKeyUp = 60,
    effSetEditKnobMode = 61,
    effGetMidiProgramName = 62,
    effGetCurrentMidiProgram = 63,
    effGetMidiProgramCategory = 64,
    effHasMidiProgramsChanged = 65,
    effGetMidiKeyName = 66,
    effBeginSetProgram = 67,
    effEndSetProgram = 68,
    effGetSpeakerArrangement = 69,
    effShellGetNextPlugin = 70,
    effStartProcess = 71,
    effStopProcess = 72,
    effSetTotalSampleToProcess = 73,
    effSetPanLaw = 74,
    effBeginLoadBank = 75,
    effBeginLoadProgram = 76,
};

// Requests from the plug-in to the host (the callback's opcode).
enum : VstInt32
{
    audioMasterAutomate = 0,
    audioMasterVersion = 1,
    audioMasterCurrentId = 2,
    audioMasterIdle = 3,
    audioMasterPinConnected = 4,
    audioMasterWantMidi = 6,
    audioMasterGetTime = 7,
    audioMasterTempoAt = 10,
    audioMasterGetNumAutomatableParameters = 11,
    audioMasterGetParameterQuantization = 12,
    audioMasterIOChanged = 13,
    audioMasterNeedIdle = 14,
    audioMasterSizeWindow = 15,
    audioMasterGetSampleRate = 16,
    audioMasterGetBlockSize = 17,
    audioMasterGetInputLatency = 18,
    audioMasterGetOutputLatency = 19,
    audioMasterGetPreviousPlug = 20,
    audioMasterGetNextPlug = 21,
    audioMasterWillReplaceOrAccumulate = 22,
    audioMasterGetCurrentProcessLevel = 23,
    audioMasterGetAutomationState = 24,
    audioMasterOfflineStart = 25,
    audioMasterOfflineRead = 26,
    audioMasterOfflineWrite = 27,
    audioMasterOfflineGetCurrentPass = 28,
    audioMasterOfflineGetCurrentMetaPass = 29,
    audioMasterSetOutputSampleRate = 30,
    audioMasterGetSpeakerArrangement = 31,
    audioMasterGetVendorString = 32,
    audioMasterGetProductString = 33,
    audioMasterGetVendorVersion = 34,
    audioMasterVendorSpecific = 35,
    audioMasterCanDo = 37,
    audioMasterGetLanguage = 38,
    audioMasterOpenWindow = 39,
    audioMasterCloseWindow = 40,
    audioMasterGetDirectory = 41,
    audioMasterUpdateDisplay = 42,
    audioMasterBeginEdit = 43,
    audioMasterEndEdit = 44,
    audioMasterOpenFileSelector = 45,
    audioMasterGetInputSpeakerArrangement = 49,
};

// Plug-in categories answered to effGetPlugCategory.
enum : VstInt32
{
    kPlugCategUnknown = 0,
    kPlugCategEffect = 1,
    kPlugCategSynth = 2,
};

// The editor's rectangle handed to the host by effEditGetRect.
struct ERect
{
    VstInt16 top;
    VstInt16 left;
    VstInt16 bottom;
    VstInt16 right;
};
static_assert(sizeof(ERect) == 8);

// The key record the dispatcher builds for effEditKeyDown and effEditKeyUp.
struct VstKeyCode
{
    VstInt32 character;
    unsigned char virt;
    unsigned char modifier;
};

// One loudspeaker of a speaker arrangement: 112 bytes.
struct VstSpeakerProperties
{
    float azimuth;
    float elevation;
    float radius;
    float reserved;
    char name[64];
    VstInt32 type;
    char future[28];
};
static_assert(sizeof(VstSpeakerProperties) == 112);

// A speaker arrangement: an 8-byte header followed by one VstSpeakerProperties per channel.
// The array is declared with the interface's customary eight entries; allocateArrangement
// sizes the block for the actual channel count.
struct VstSpeakerArrangement
{
    VstInt32 type;
    VstInt32 numChannels;
    VstSpeakerProperties speakers[8];
};
static_assert(offsetof(VstSpeakerArrangement, speakers) == 8);

// The function every plug-in library exports under the name "main".
using PluginEntryProc = AEffect* (*)(audioMasterCallback audioMaster);

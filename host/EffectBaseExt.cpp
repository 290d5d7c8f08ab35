#include "host/EffectBaseExt.h"

#include "editor/EditorBase.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace
{
constexpr VstInt32 kVstVersion = 2300;

VstIntPtr asResult(bool answer)
{
    return answer ? 1 : 0;
}

VstIntPtr asResult(void* answer)
{
    return reinterpret_cast<VstIntPtr>(answer);
}

// The key record's modifier byte: the low byte of opt truncated to an integer. A value no
// integer can hold (NaN, huge) gives no modifier rather than undefined behaviour.
unsigned char modifierOf(float opt)
{
    if (!(opt > -2147483648.0f && opt < 2147483648.0f))
    {
        return 0;
    }
    return static_cast<unsigned char>(static_cast<VstInt32>(opt) & 0xFF);
}
} // namespace

EffectBaseExt::EffectBaseExt(audioMasterCallback audioMaster, VstInt32 programCount, VstInt32 paramCount)
    : EffectBase(audioMaster, programCount, paramCount)
{
}

VstIntPtr EffectBaseExt::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    // Requests that write text go only to a buffer the host actually passed.
    char* text = static_cast<char*>(ptr);
    switch (opcode)
    {
    case effProcessEvents:
        return processEvents(ptr);
    case effCanBeAutomated:
        return asResult(canBeAutomated(index));
    case effString2Parameter:
        return asResult(string2Parameter(index, text));
    case effGetNumProgramCategories:
        return getNumProgramCategories();
    case effGetProgramNameIndexed:
        return text ? asResult(getProgramNameIndexed(static_cast<VstInt32>(value), index, text)) : 0;
    case effCopyProgram:
        return asResult(copyProgram(index));
    case effConnectInput:
        connectInput(index, value != 0);
        return 1;
    case effConnectOutput:
        connectOutput(index, value != 0);
        return 1;
    case effGetInputProperties:
        return asResult(getInputProperties(index, ptr));
    case effGetOutputProperties:
        return asResult(getOutputProperties(index, ptr));
    case effGetPlugCategory:
        return getPlugCategory();
    case effGetCurrentPosition:
        return getCurrentPosition();
    case effGetDestinationBuffer:
        return asResult(getDestinationBuffer());
    case effOfflineNotify:
        return asResult(offlineNotify(ptr, static_cast<VstInt32>(value), index != 0));
    case effOfflinePrepare:
        return asResult(offlinePrepare(ptr, static_cast<VstInt32>(value)));
    case effOfflineRun:
        return asResult(offlineRun(ptr, static_cast<VstInt32>(value)));
    case effProcessVarIo:
        return asResult(processVarIo(ptr));
    case effSetSpeakerArrangement:
        return asResult(setSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement*>(value),
                                              static_cast<VstSpeakerArrangement*>(ptr)));
    case effSetBlockSizeAndSampleRate:
        setBlockSizeAndSampleRate(static_cast<VstInt32>(value), opt);
        return 1;
    case effSetBypass:
        return asResult(setBypass(value != 0));
    case effGetEffectName:
        return text ? asResult(getEffectName(text)) : 0;
    case effGetErrorText:
        return text ? asResult(getErrorText(text)) : 0;
    case effGetVendorString:
        return text ? asResult(getVendorString(text)) : 0;
    case effGetProductString:
        return text ? asResult(getProductString(text)) : 0;
    case effGetVendorVersion:
        return getVendorVersion();
    case effVendorSpecific:
        return vendorSpecific(index, value, ptr, opt);
    case effCanDo:
        return text ? canDo(text) : 0;
    case effGetTailSize:
        return getTailSize();
    case effIdle:
        return effectIdle();
    case effGetIcon:
        return asResult(getIcon());
    case effSetViewPosition:
        return asResult(setViewPosition(index, static_cast<VstInt32>(value)));
    case effGetParameterProperties:
        return asResult(getParameterProperties(index, ptr));
    case effKeysRequired:
        return keysRequired() ? 0 : 1;
    case effGetVstVersion:
        return getVstVersion();
    case effEditKeyDown:
    case effEditKeyUp:
    {
        if (!editor)
        {
            return 0;
        }
        VstKeyCode key{};
        key.character = index;
        key.virt = static_cast<unsigned char>(value & 0xFF);
        key.modifier = modifierOf(opt);
        return opcode == effEditKeyDown ? editor->editKeyDown(key) : editor->editKeyUp(key);
    }
    case effSetEditKnobMode:
        return editor ? editor->setEditKnobMode(static_cast<VstInt32>(value)) : 0;
    case effGetMidiProgramName:
        return getMidiProgramName(index, ptr);
    case effGetCurrentMidiProgram:
        return getCurrentMidiProgram(index, ptr);
    case effGetMidiProgramCategory:
        return getMidiProgramCategory(index, ptr);
    case effHasMidiProgramsChanged:
        return asResult(hasMidiProgramsChanged(index));
    case effGetMidiKeyName:
        return asResult(getMidiKeyName(index, ptr));
    case effBeginSetProgram:
        return asResult(beginSetProgram());
    case effEndSetProgram:
        return asResult(endSetProgram());
    case effGetSpeakerArrangement:
        return asResult(getSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement**>(value),
                                              static_cast<VstSpeakerArrangement**>(ptr)));
    case effShellGetNextPlugin:
        return text ? getNextShellPlugin(text) : 0;
    case effStartProcess:
        return startProcess();
    case effStopProcess:
        return stopProcess();
    case effSetTotalSampleToProcess:
        return setTotalSampleToProcess(static_cast<VstInt32>(value));
    case effSetPanLaw:
        return asResult(setPanLaw(static_cast<VstInt32>(value), opt));
    case effBeginLoadBank:
        return beginLoadBank(ptr);
    case effBeginLoadProgram:
        return beginLoadProgram(ptr);
    default:
        return EffectBase::dispatcher(opcode, index, value, ptr, opt);
    }
}

EditorBase* EffectBaseExt::getEditor()
{
    return editor;
}

// Host wrappers: one request each, answered 0/false/null when there is no host.

VstInt32 EffectBaseExt::wantMidi(VstInt32 filter)
{
    return static_cast<VstInt32>(callHost(audioMasterWantMidi, 0, filter));
}

void* EffectBaseExt::getTimeInfo(VstInt32 filter)
{
    return reinterpret_cast<void*>(callHost(audioMasterGetTime, 0, filter));
}

VstInt32 EffectBaseExt::tempoAt(VstInt32 position)
{
    return static_cast<VstInt32>(callHost(audioMasterTempoAt, 0, position));
}

VstInt32 EffectBaseExt::getNumAutomatableParameters()
{
    return static_cast<VstInt32>(callHost(audioMasterGetNumAutomatableParameters));
}

VstInt32 EffectBaseExt::getParameterQuantization()
{
    return static_cast<VstInt32>(callHost(audioMasterGetParameterQuantization));
}

bool EffectBaseExt::ioChanged()
{
    return callHost(audioMasterIOChanged) != 0;
}

bool EffectBaseExt::needIdle()
{
    return callHost(audioMasterNeedIdle) != 0;
}

bool EffectBaseExt::sizeWindow(VstInt32 width, VstInt32 height)
{
    return callHost(audioMasterSizeWindow, width, height) != 0;
}

float EffectBaseExt::fetchSampleRate()
{
    const VstIntPtr answer = callHost(audioMasterGetSampleRate);
    if (answer > 0)
    {
        sampleRate = static_cast<float>(answer);
    }
    return sampleRate;
}

VstInt32 EffectBaseExt::fetchBlockSize()
{
    const VstIntPtr answer = callHost(audioMasterGetBlockSize);
    if (answer > 0)
    {
        blockSize = static_cast<VstInt32>(answer);
    }
    return blockSize;
}

VstInt32 EffectBaseExt::getInputLatency()
{
    return static_cast<VstInt32>(callHost(audioMasterGetInputLatency));
}

VstInt32 EffectBaseExt::getOutputLatency()
{
    return static_cast<VstInt32>(callHost(audioMasterGetOutputLatency));
}

AEffect* EffectBaseExt::getPreviousPlug(VstInt32)
{
    return reinterpret_cast<AEffect*>(callHost(audioMasterGetPreviousPlug));
}

AEffect* EffectBaseExt::getNextPlug(VstInt32)
{
    return reinterpret_cast<AEffect*>(callHost(audioMasterGetNextPlug));
}

VstInt32 EffectBaseExt::willReplaceOrAccumulate()
{
    return static_cast<VstInt32>(callHost(audioMasterWillReplaceOrAccumulate));
}

VstInt32 EffectBaseExt::getCurrentProcessLevel()
{
    return static_cast<VstInt32>(callHost(audioMasterGetCurrentProcessLevel));
}

VstInt32 EffectBaseExt::getAutomationState()
{
    return static_cast<VstInt32>(callHost(audioMasterGetAutomationState));
}

bool EffectBaseExt::offlineRead(void* task, VstInt32 option, bool readSource)
{
    return callHost(audioMasterOfflineRead, readSource ? 1 : 0, option, task) != 0;
}

bool EffectBaseExt::offlineWrite(void* task, VstInt32 option)
{
    return callHost(audioMasterOfflineWrite, 0, option, task) != 0;
}

bool EffectBaseExt::offlineStart(void* files, VstInt32 count, VstInt32 newCount)
{
    return callHost(audioMasterOfflineStart, newCount, count, files) != 0;
}

bool EffectBaseExt::offlineGetCurrentPass()
{
    return callHost(audioMasterOfflineGetCurrentPass) != 0;
}

bool EffectBaseExt::offlineGetCurrentMetaPass()
{
    return callHost(audioMasterOfflineGetCurrentMetaPass) != 0;
}

VstIntPtr EffectBaseExt::setOutputSampleRate(float rate)
{
    return callHost(audioMasterSetOutputSampleRate, 0, 0, nullptr, rate);
}

VstSpeakerArrangement* EffectBaseExt::getHostInputArrangement()
{
    return reinterpret_cast<VstSpeakerArrangement*>(callHost(audioMasterGetInputSpeakerArrangement));
}

VstSpeakerArrangement* EffectBaseExt::getHostOutputArrangement()
{
    return reinterpret_cast<VstSpeakerArrangement*>(callHost(audioMasterGetSpeakerArrangement));
}

bool EffectBaseExt::getHostVendorString(char* text)
{
    return callHost(audioMasterGetVendorString, 0, 0, text) != 0;
}

bool EffectBaseExt::getHostProductString(char* text)
{
    return callHost(audioMasterGetProductString, 0, 0, text) != 0;
}

VstInt32 EffectBaseExt::getHostVendorVersion()
{
    return static_cast<VstInt32>(callHost(audioMasterGetVendorVersion));
}

VstIntPtr EffectBaseExt::hostVendorSpecific(VstInt32 a, VstIntPtr b, void* p, float f)
{
    return callHost(audioMasterVendorSpecific, a, b, p, f);
}

bool EffectBaseExt::canHostDo(char* text)
{
    return callHost(audioMasterCanDo, 0, 0, text) != 0;
}

VstInt32 EffectBaseExt::getHostLanguage()
{
    return static_cast<VstInt32>(callHost(audioMasterGetLanguage));
}

void* EffectBaseExt::openHostWindow(void* window)
{
    return reinterpret_cast<void*>(callHost(audioMasterOpenWindow, 0, 0, window));
}

bool EffectBaseExt::closeHostWindow(void* window)
{
    return callHost(audioMasterCloseWindow, 0, 0, window) != 0;
}

void* EffectBaseExt::getDirectory()
{
    return reinterpret_cast<void*>(callHost(audioMasterGetDirectory));
}

bool EffectBaseExt::updateDisplay()
{
    return callHost(audioMasterUpdateDisplay) != 0;
}

bool EffectBaseExt::beginEdit(VstInt32 index)
{
    return callHost(audioMasterBeginEdit, index) != 0;
}

bool EffectBaseExt::endEdit(VstInt32 index)
{
    return callHost(audioMasterEndEdit, index) != 0;
}

bool EffectBaseExt::openFileSelector(void* selector)
{
    return selector && callHost(audioMasterOpenFileSelector, 0, 0, selector) != 0;
}

// Flag setters.

void EffectBaseExt::setExtIsAsync(bool state)
{
    setFlag(effFlagsExtIsAsync, state);
}

void EffectBaseExt::setExtHasBuffer(bool state)
{
    setFlag(effFlagsExtHasBuffer, state);
}

void EffectBaseExt::setIsSynth(bool state)
{
    setFlag(effFlagsIsSynth, state);
}

void EffectBaseExt::setNoSoundInStop(bool state)
{
    setFlag(effFlagsNoSoundInStop, state);
}

// Answers to requests: neutral defaults.

VstInt32 EffectBaseExt::processEvents(void*)
{
    return 0;
}

bool EffectBaseExt::canBeAutomated(VstInt32)
{
    return true;
}

bool EffectBaseExt::string2Parameter(VstInt32, char*)
{
    return false;
}

float EffectBaseExt::getChannelParameter(VstInt32, VstInt32)
{
    return 0.0f;
}

VstInt32 EffectBaseExt::getNumProgramCategories()
{
    return 1;
}

bool EffectBaseExt::getProgramNameIndexed(VstInt32, VstInt32, char*)
{
    return false;
}

bool EffectBaseExt::copyProgram(VstInt32)
{
    return false;
}

void EffectBaseExt::connectInput(VstInt32, bool)
{
}

void EffectBaseExt::connectOutput(VstInt32, bool)
{
}

bool EffectBaseExt::getInputProperties(VstInt32, void*)
{
    return false;
}

bool EffectBaseExt::getOutputProperties(VstInt32, void*)
{
    return false;
}

VstInt32 EffectBaseExt::getPlugCategory()
{
    return (record.flags & effFlagsIsSynth) ? kPlugCategSynth : kPlugCategUnknown;
}

VstInt32 EffectBaseExt::getCurrentPosition()
{
    return 0;
}

float* EffectBaseExt::getDestinationBuffer()
{
    return nullptr;
}

bool EffectBaseExt::offlineNotify(void*, VstInt32, bool)
{
    return false;
}

bool EffectBaseExt::offlinePrepare(void*, VstInt32)
{
    return false;
}

bool EffectBaseExt::offlineRun(void*, VstInt32)
{
    return false;
}

VstInt32 EffectBaseExt::offlineGetNumPasses()
{
    return 0;
}

VstInt32 EffectBaseExt::offlineGetNumMetaPasses()
{
    return 0;
}

bool EffectBaseExt::processVarIo(void*)
{
    return false;
}

bool EffectBaseExt::setSpeakerArrangement(VstSpeakerArrangement*, VstSpeakerArrangement*)
{
    return false;
}

bool EffectBaseExt::getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output)
{
    if (input)
    {
        *input = nullptr;
    }
    if (output)
    {
        *output = nullptr;
    }
    return false;
}

void EffectBaseExt::setBlockSizeAndSampleRate(VstInt32 newBlockSize, float newSampleRate)
{
    blockSize = newBlockSize;
    sampleRate = newSampleRate;
}

bool EffectBaseExt::setBypass(bool)
{
    return false;
}

bool EffectBaseExt::getEffectName(char*)
{
    return false;
}

bool EffectBaseExt::getErrorText(char*)
{
    return false;
}

bool EffectBaseExt::getVendorString(char*)
{
    return false;
}

bool EffectBaseExt::getProductString(char*)
{
    return false;
}

VstInt32 EffectBaseExt::getVendorVersion()
{
    return 0;
}

VstIntPtr EffectBaseExt::vendorSpecific(VstInt32, VstIntPtr, void*, float)
{
    return 0;
}

VstInt32 EffectBaseExt::canDo(char*)
{
    return 0;
}

void* EffectBaseExt::getIcon()
{
    return nullptr;
}

bool EffectBaseExt::setViewPosition(VstInt32, VstInt32)
{
    return false;
}

VstInt32 EffectBaseExt::getTailSize()
{
    return 0;
}

VstInt32 EffectBaseExt::effectIdle()
{
    return 0;
}

bool EffectBaseExt::getParameterProperties(VstInt32, void*)
{
    return false;
}

bool EffectBaseExt::keysRequired()
{
    return false;
}

VstInt32 EffectBaseExt::getVstVersion()
{
    return kVstVersion;
}

VstInt32 EffectBaseExt::getMidiProgramName(VstInt32, void*)
{
    return 0;
}

VstInt32 EffectBaseExt::getCurrentMidiProgram(VstInt32, void*)
{
    return -1;
}

VstInt32 EffectBaseExt::getMidiProgramCategory(VstInt32, void*)
{
    return 0;
}

bool EffectBaseExt::hasMidiProgramsChanged(VstInt32)
{
    return false;
}

bool EffectBaseExt::getMidiKeyName(VstInt32, void*)
{
    return false;
}

bool EffectBaseExt::beginSetProgram()
{
    return false;
}

bool EffectBaseExt::endSetProgram()
{
    return false;
}

VstInt32 EffectBaseExt::setTotalSampleToProcess(VstInt32 value)
{
    return value;
}

VstInt32 EffectBaseExt::getNextShellPlugin(char*)
{
    return 0;
}

VstInt32 EffectBaseExt::startProcess()
{
    return 0;
}

VstInt32 EffectBaseExt::stopProcess()
{
    return 0;
}

bool EffectBaseExt::setPanLaw(VstInt32, float)
{
    return false;
}

VstInt32 EffectBaseExt::beginLoadBank(void*)
{
    return 0;
}

VstInt32 EffectBaseExt::beginLoadProgram(void*)
{
    return 0;
}

// Speaker-arrangement helpers.

bool EffectBaseExt::allocateArrangement(VstSpeakerArrangement** arrangement, VstInt32 channels)
{
    if (!arrangement)
    {
        return false;
    }
    if (*arrangement)
    {
        std::free(*arrangement);
        *arrangement = nullptr;
    }
    if (channels < 0)
    {
        return false;
    }
    const std::size_t size = offsetof(VstSpeakerArrangement, speakers) +
                             sizeof(VstSpeakerProperties) * static_cast<std::size_t>(channels);
    void* block = std::calloc(1, size);
    if (!block)
    {
        return false;
    }
    auto* created = static_cast<VstSpeakerArrangement*>(block);
    created->numChannels = channels;
    *arrangement = created;
    return true;
}

bool EffectBaseExt::deallocateArrangement(VstSpeakerArrangement** arrangement)
{
    if (arrangement && *arrangement)
    {
        std::free(*arrangement);
        *arrangement = nullptr;
    }
    return true;
}

bool EffectBaseExt::copySpeaker(VstSpeakerProperties* to, const VstSpeakerProperties* from)
{
    if (!to || !from)
    {
        return false;
    }
    // The name is copied as text, bounded by the field: a source name without its
    // terminating zero is cut rather than read past its end.
    std::strncpy(to->name, from->name, sizeof(to->name) - 1);
    to->name[sizeof(to->name) - 1] = 0;
    to->type = from->type;
    to->azimuth = from->azimuth;
    to->elevation = from->elevation;
    to->radius = from->radius;
    to->reserved = from->reserved;
    std::memcpy(to->future, from->future, sizeof(to->future));
    return true;
}

bool EffectBaseExt::matchArrangement(VstSpeakerArrangement** to, const VstSpeakerArrangement* from)
{
    if (!from)
    {
        return false;
    }
    if (!deallocateArrangement(to) || !allocateArrangement(to, from->numChannels))
    {
        return false;
    }
    (*to)->type = from->type;
    for (VstInt32 i = 0; i < from->numChannels; ++i)
    {
        if (!copySpeaker(&(*to)->speakers[i], &from->speakers[i]))
        {
            return false;
        }
    }
    return true;
}

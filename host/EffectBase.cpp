#include "host/EffectBase.h"

#include "editor/EditorBase.h"
#include "host/NumberText.h"

#include <cmath>
#include <cstring>

namespace
{
EffectBase* objectOf(AEffect* effect)
{
    return effect ? static_cast<EffectBase*>(effect->object) : nullptr;
}

// The five entries stored in the record. They run on whatever thread the host uses and
// forward to the object's virtual operations with the arguments unchanged.
VstIntPtr entryDispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                          float opt)
{
    EffectBase* object = objectOf(effect);
    if (!object)
    {
        return 0;
    }
    try
    {
        if (opcode == effClose)
        {
            // The record lives inside the object: once it is deleted the host must not touch
            // it again, which is what effClose promises.
            object->dispatcher(opcode, index, value, ptr, opt);
            delete object;
            return 1;
        }
        return object->dispatcher(opcode, index, value, ptr, opt);
    }
    catch (...)
    {
        return 0;
    }
}

void entryProcess(AEffect* effect, float** inputs, float** outputs, VstInt32 sampleFrames)
{
    if (EffectBase* object = objectOf(effect))
    {
        object->process(inputs, outputs, sampleFrames);
    }
}

void entryProcessReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 sampleFrames)
{
    if (EffectBase* object = objectOf(effect))
    {
        object->processReplacing(inputs, outputs, sampleFrames);
    }
}

void entrySetParameter(AEffect* effect, VstInt32 index, float value)
{
    if (EffectBase* object = objectOf(effect))
    {
        object->setParameter(index, value);
    }
}

float entryGetParameter(AEffect* effect, VstInt32 index)
{
    EffectBase* object = objectOf(effect);
    return object ? object->getParameter(index) : 0.0f;
}

// The unique ID a base effect carries until the effect class sets its own: 'N','o','E','f'.
constexpr VstInt32 kDefaultUniqueId = 0x4E6F4566;
// The answer to effIdentify: 'N','v','E','f'.
constexpr VstInt32 kIdentifyAnswer = 0x4E764566;
} // namespace

EffectBase::EffectBase(audioMasterCallback audioMaster, VstInt32 programCount, VstInt32 paramCount)
    : sampleRate(44100.0f)
    , editor(nullptr)
    , audioMaster(audioMaster)
    , programCount(programCount)
    , paramCount(paramCount)
    , currentProgram(0)
    , blockSize(1024)
{
    std::memset(&record, 0, sizeof(record));
    record.magic = kEffectMagic;
    record.dispatcher = entryDispatcher;
    record.process = entryProcess;
    record.setParameter = entrySetParameter;
    record.getParameter = entryGetParameter;
    record.numPrograms = programCount;
    record.numParams = paramCount;
    record.numInputs = 1;
    record.numOutputs = 2;
    record.ioRatio = 1.0f;
    record.object = this;
    record.uniqueID = kDefaultUniqueId;
    record.version = 1;
    record.processReplacing = entryProcessReplacing;
}

EffectBase::~EffectBase()
{
    delete editor;
}

void EffectBase::setParameter(VstInt32, float)
{
}

float EffectBase::getParameter(VstInt32)
{
    return 0.0f;
}

void EffectBase::automateParameter(VstInt32 index, float value)
{
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

void EffectBase::processReplacing(float**, float**, VstInt32)
{
}

VstIntPtr EffectBase::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    // Requests that write text go only to a buffer the host actually passed: a null pointer
    // is answered 0 and nothing is written.
    char* text = static_cast<char*>(ptr);
    switch (opcode)
    {
    case effOpen:
        open();
        break;
    case effClose:
        close();
        break;
    case effSetProgram:
        // No lower bound: a negative program number is stored as it comes.
        if (value < programCount)
        {
            setProgram(static_cast<VstInt32>(value));
        }
        break;
    case effGetProgram:
        return getProgram();
    case effSetProgramName:
        if (text)
        {
            setProgramName(text);
        }
        break;
    case effGetProgramName:
        if (text)
        {
            getProgramName(text);
        }
        break;
    case effGetParamLabel:
        if (text)
        {
            getParamLabel(index, text);
        }
        break;
    case effGetParamDisplay:
        if (text)
        {
            getParamDisplay(index, text);
        }
        break;
    case effGetParamName:
        if (text)
        {
            getParamName(index, text);
        }
        break;
    case effGetVu:
    {
        const double vu = static_cast<double>(getVu()) * 32767.0;
        // Truncation toward zero; a value no integer holds answers 0 rather than undefined.
        return (vu > -2147483648.0 && vu < 2147483648.0) ? static_cast<VstInt32>(vu) : 0;
    }
    case effSetSampleRate:
        setSampleRate(opt);
        break;
    case effSetBlockSize:
        setBlockSize(static_cast<VstInt32>(value));
        break;
    case effMainsChanged:
        if (value == 0)
        {
            suspend();
        }
        else
        {
            resume();
        }
        break;
    case effEditGetRect:
        return editor ? editor->getRect(static_cast<ERect**>(ptr)) : 0;
    case effEditOpen:
        return editor ? editor->open(ptr) : 0;
    case effEditClose:
        if (editor)
        {
            editor->close();
        }
        break;
    case effEditIdle:
        if (editor)
        {
            editor->idle();
        }
        break;
    case effIdentify:
        return kIdentifyAnswer;
    case effGetChunk:
        return ptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
    case effSetChunk:
        return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
    default:
        // effEditDraw, effEditMouse, effEditKey, effEditTop, effEditSleep and every
        // request this base does not know.
        break;
    }
    return 0;
}

void EffectBase::open()
{
}

void EffectBase::close()
{
}

VstInt32 EffectBase::getProgram()
{
    return currentProgram;
}

void EffectBase::setProgram(VstInt32 program)
{
    currentProgram = program;
}

void EffectBase::setProgramName(char* name)
{
    *name = 0;
}

void EffectBase::getProgramName(char* name)
{
    *name = 0;
}

void EffectBase::getParamLabel(VstInt32, char* label)
{
    *label = 0;
}

void EffectBase::getParamDisplay(VstInt32, char* text)
{
    *text = 0;
}

void EffectBase::getParamName(VstInt32, char* text)
{
    *text = 0;
}

float EffectBase::getVu()
{
    return 0.0f;
}

VstInt32 EffectBase::getChunk(void**, bool)
{
    return 0;
}

VstInt32 EffectBase::setChunk(void*, VstInt32, bool)
{
    return 0;
}

void EffectBase::setSampleRate(float newSampleRate)
{
    sampleRate = newSampleRate;
}

void EffectBase::setBlockSize(VstInt32 newBlockSize)
{
    blockSize = newBlockSize;
}

void EffectBase::suspend()
{
}

void EffectBase::resume()
{
}

void EffectBase::setUniqueID(VstInt32 id)
{
    record.uniqueID = id;
}

void EffectBase::setNumInputs(VstInt32 inputs)
{
    record.numInputs = inputs;
}

void EffectBase::setNumOutputs(VstInt32 outputs)
{
    record.numOutputs = outputs;
}

void EffectBase::setFlag(VstInt32 bit, bool state)
{
    if (state)
    {
        record.flags |= bit;
    }
    else
    {
        record.flags &= ~bit;
    }
}

void EffectBase::setHasVu(bool state)
{
    setFlag(effFlagsHasVu, state);
}

void EffectBase::setHasClip(bool state)
{
    setFlag(effFlagsHasClip, state);
}

void EffectBase::setCanMono(bool state)
{
    setFlag(effFlagsCanMono, state);
}

void EffectBase::setCanReplacing(bool state)
{
    setFlag(effFlagsCanReplacing, state);
}

void EffectBase::setProgramChunks(bool state)
{
    setFlag(effFlagsProgramChunks, state);
}

void EffectBase::setRealQualities(VstInt32 qualities)
{
    record.realQualities = qualities;
}

void EffectBase::setOffQualities(VstInt32 qualities)
{
    record.offQualities = qualities;
}

void EffectBase::setInitialDelay(VstInt32 delay)
{
    record.initialDelay = delay;
}

float EffectBase::getSampleRate()
{
    return sampleRate;
}

VstInt32 EffectBase::getBlockSize()
{
    return blockSize;
}

VstIntPtr EffectBase::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    return audioMaster ? audioMaster(&record, opcode, index, value, ptr, opt) : 0;
}

VstInt32 EffectBase::getHostVersion()
{
    const VstIntPtr version = callHost(audioMasterVersion);
    return version != 0 ? static_cast<VstInt32>(version) : 1;
}

VstInt32 EffectBase::getHostCurrentId()
{
    return static_cast<VstInt32>(callHost(audioMasterCurrentId));
}

void EffectBase::hostIdle()
{
    callHost(audioMasterIdle);
}

bool EffectBase::isInputPinConnected(VstInt32 input)
{
    return callHost(audioMasterPinConnected, input, 0) == 0;
}

bool EffectBase::isOutputPinConnected(VstInt32 output)
{
    return callHost(audioMasterPinConnected, output, 1) == 0;
}

void EffectBase::dbToText(float value, char* text)
{
    if (value <= 0.0f)
    {
        std::strcpy(text, "-oo");
        return;
    }
    floatToText(static_cast<float>(20.0 * std::log10(static_cast<double>(value))), text);
}

void EffectBase::hzToText(float samples, char* text)
{
    if (samples == 0.0f)
    {
        floatToText(0.0f, text);
        return;
    }
    floatToText(static_cast<float>(static_cast<double>(getSampleRate()) / static_cast<double>(samples)),
                text);
}

void EffectBase::msToText(float samples, char* text)
{
    floatToText(
        static_cast<float>(static_cast<double>(samples) * 1000.0 / static_cast<double>(getSampleRate())),
        text);
}

void EffectBase::floatToText(float value, char* text)
{
    formatFixedWidth(value, text);
}

void EffectBase::longToText(VstInt32 value, char* text)
{
    formatInteger(value, text);
}

void EffectBase::attachEditor(EditorBase* newEditor)
{
    editor = newEditor;
    setFlag(effFlagsHasEditor, newEditor != nullptr);
}

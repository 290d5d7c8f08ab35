#include "effect/CrusherEffect.h"

#include "editor/CrusherEditor.h"
#include "host/PluginModule.h"

#include <cstring>
#include <new>

namespace
{
constexpr VstInt32 kUniqueId = 0x4678;
constexpr VstInt32 kVendorVersion = 1000;
constexpr const char* kEffectName = "Thrummelgrinder";
constexpr const char* kVendorName = "Vantorlyx";

// Stored cutoff values never go below this: the filters divide nothing by it, but a zero
// cutoff would freeze the multimode ladder.
constexpr float kCutoffMinimum = 0.001f;

constexpr float kDefaults[kNumWritableParams] = {
    1.0f, // kInputGain
    1.0f, // kPreQuantization
    1.0f, // kCutoff
    0.0f, // kResonance
    0.2f, // kDistortion: 5 x 0.2 is unity gain
    0.0f, // kCrackThreshold
    0.0f, // kNoiseLevel
    1.0f, // kQuantization
    0.0f, // kPreInversion
    0.0f, // kPostInversion
    1.0f, // kOutputGain
    0.0f, // kFilterType
};

// The read-only scale values answered for indices 12 to 14.
constexpr float kDistortionRangeValue = 5.0f;
constexpr float kPreQuantStepsValue = 128.0f;
constexpr float kQuantStepsValue = 32.0f;

constexpr const char* kParamNames[kNumWritableParams] = {
    "Input Gain",  "PreQuantization", "Cutoff",        "Rezonance",      "Distortion",  "Crack Threshold",
    "Noise Level", "Quantization",    "Pre Inversion", "Post Inversion", "Output Gain", "Filter Type",
};

bool isWritable(VstInt32 index)
{
    return index >= 0 && index < kNumWritableParams;
}
} // namespace

CrusherEffect::CrusherEffect(audioMasterCallback audioMaster)
    : EffectBaseExt(audioMaster, kNumPrograms, kNumParams)
    , ladderFeedbackScale(4.0f)
{
    for (int i = 0; i < kNumWritableParams; ++i)
    {
        params[i].store(kDefaults[i], std::memory_order_relaxed);
    }
    // The state lives inside the object, so it cannot fail to exist; it starts cleared so
    // that audio arriving before the host switches the effect on runs on defined state.
    resume();

    setNumInputs(2);
    setNumOutputs(2);
    setUniqueID(kUniqueId);
    setCanMono(true);
    setCanReplacing(true);
    std::strcpy(programName, "Default");

    // The editor registers itself through attachEditor. Without it the instance is not
    // offered to the host at all.
    if (!new (std::nothrow) CrusherEditor(this))
    {
        setOutOfMemory();
    }
}

CrusherEffect::~CrusherEffect() = default;

void CrusherEffect::setParameter(VstInt32 index, float value)
{
    if (isWritable(index))
    {
        if (index == kCutoff && value < kCutoffMinimum)
        {
            value = kCutoffMinimum;
        }
        params[index].store(value, std::memory_order_relaxed);
    }
    if (editor)
    {
        static_cast<CrusherEditor*>(editor)->parameterChanged(index, value);
    }
}

float CrusherEffect::getParameter(VstInt32 index)
{
    if (isWritable(index))
    {
        return params[index].load(std::memory_order_relaxed);
    }
    switch (index)
    {
    case kDistortionRange:
        return kDistortionRangeValue;
    case kPreQuantSteps:
        return kPreQuantStepsValue;
    case kQuantSteps:
        return kQuantStepsValue;
    default:
        return 0.0f;
    }
}

void CrusherEffect::process(float** inputs, float** outputs, VstInt32 sampleFrames)
{
    for (VstInt32 i = 0; i < sampleFrames; ++i)
    {
        const float left = inputs[0][i];
        const float right = inputs[1][i];
        outputs[0][i] += left;
        outputs[1][i] += right;
    }
}

void CrusherEffect::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames)
{
    for (VstInt32 i = 0; i < sampleFrames; ++i)
    {
        const float left = inputs[0][i];
        const float right = inputs[1][i];
        outputs[0][i] = left;
        outputs[1][i] = right;
    }
}

void CrusherEffect::setProgramName(char* name)
{
    // Names longer than the buffer are cut; the host's text need not be terminated within
    // the first 32 bytes.
    std::strncpy(programName, name, kProgramNameLength);
    programName[kProgramNameLength] = 0;
}

void CrusherEffect::getProgramName(char* name)
{
    std::strcpy(name, programName);
}

void CrusherEffect::getParamLabel(VstInt32, char* label)
{
    std::strcpy(label, "dB");
}

void CrusherEffect::getParamDisplay(VstInt32 index, char* text)
{
    dbToText(getParameter(index), text);
}

void CrusherEffect::getParamName(VstInt32 index, char* text)
{
    // Other indices leave the host's buffer exactly as it was.
    if (isWritable(index))
    {
        std::strcpy(text, kParamNames[index]);
    }
}

void CrusherEffect::resume()
{
    std::memset(classicStageIn, 0, sizeof(classicStageIn));
    std::memset(classicStageOut, 0, sizeof(classicStageOut));
    std::memset(multimodeStage, 0, sizeof(multimodeStage));
    std::memset(multimodeScratch, 0, sizeof(multimodeScratch));
}

VstInt32 CrusherEffect::getPlugCategory()
{
    return kPlugCategEffect;
}

bool CrusherEffect::getEffectName(char* text)
{
    std::strcpy(text, kEffectName);
    return true;
}

bool CrusherEffect::getVendorString(char* text)
{
    std::strcpy(text, kVendorName);
    return true;
}

bool CrusherEffect::getProductString(char* text)
{
    std::strcpy(text, kEffectName);
    return true;
}

VstInt32 CrusherEffect::getVendorVersion()
{
    return kVendorVersion;
}

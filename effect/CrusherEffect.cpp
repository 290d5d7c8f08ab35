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
constexpr float kDistortionRangeValue = SoundChain::kDistortionRange;
constexpr float kPreQuantStepsValue = SoundChain::kPreQuantSteps;
constexpr float kQuantStepsValue = SoundChain::kQuantSteps;

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
    , chain(ladderFeedbackScale)
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

inline SoundSettings CrusherEffect::currentSettings() const
{
    // One relaxed load per parameter: a change from another thread takes effect at the next
    // frame, never in the middle of one.
    SoundSettings settings;
    settings.inputGain = params[kInputGain].load(std::memory_order_relaxed);
    settings.preQuantization = params[kPreQuantization].load(std::memory_order_relaxed);
    settings.cutoff = params[kCutoff].load(std::memory_order_relaxed);
    settings.resonance = params[kResonance].load(std::memory_order_relaxed);
    settings.distortion = params[kDistortion].load(std::memory_order_relaxed);
    settings.crackThreshold = params[kCrackThreshold].load(std::memory_order_relaxed);
    settings.noiseLevel = params[kNoiseLevel].load(std::memory_order_relaxed);
    settings.quantization = params[kQuantization].load(std::memory_order_relaxed);
    settings.preInversion = params[kPreInversion].load(std::memory_order_relaxed);
    settings.postInversion = params[kPostInversion].load(std::memory_order_relaxed);
    settings.outputGain = params[kOutputGain].load(std::memory_order_relaxed);
    settings.filterType = params[kFilterType].load(std::memory_order_relaxed);
    return settings;
}

// Called on the audio thread: no lock, no allocation, no system call per frame. Every frame
// reads the parameters afresh (the chain reuses what it derived from them for as long as
// they keep their bits). The thread's noise generator is copied into a local for the block
// and written back at the end.
template <bool addsToOutput>
void CrusherEffect::runChain(float** inputs, float** outputs, VstInt32 sampleFrames)
{
    if (sampleFrames <= 0)
    {
        return;
    }
    const StereoBuffers buffers{inputs[0], inputs[1], outputs[0], outputs[1]};
    NoiseGenerator& threadNoise = NoiseGenerator::forThisThread();
    NoiseGenerator noise = threadNoise;
    auto readSettings = [this] { return currentSettings(); };
    // The classic ladder's cutoff floor persists in the parameter itself.
    auto raiseCutoff = [this](float cutoff) { params[kCutoff].store(cutoff, std::memory_order_relaxed); };
    chain.process<addsToOutput>(buffers, sampleFrames, readSettings, raiseCutoff, noise);
    threadNoise = noise;
}

void CrusherEffect::process(float** inputs, float** outputs, VstInt32 sampleFrames)
{
    runChain<true>(inputs, outputs, sampleFrames);
}

void CrusherEffect::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames)
{
    runChain<false>(inputs, outputs, sampleFrames);
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
    chain.reset();
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

#pragma once

#include "effect/CrusherParam.h"
#include "effect/SoundChain.h"
#include "host/EffectBaseExt.h"

#include <atomic>

// The plug-in's one effect: fifteen parameters, one program name shared by all sixteen
// programs, the filter state of both channels, and the sound chain.
//
// Threads: setParameter may arrive on any thread while process runs on the audio thread.
// Each parameter is one 32-bit float, stored and loaded whole (relaxed atomics cost nothing
// on x86 and make the race well-defined); a change takes effect from the next frame.
class CrusherEffect : public EffectBaseExt
{
public:
    explicit CrusherEffect(audioMasterCallback audioMaster);
    ~CrusherEffect() override;

    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void process(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    void getParamLabel(VstInt32 index, char* label) override;
    void getParamDisplay(VstInt32 index, char* text) override;
    void getParamName(VstInt32 index, char* text) override;
    void resume() override;
    VstInt32 getPlugCategory() override;
    bool getEffectName(char* text) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override;

    // The longest program name kept, without its terminating zero.
    static constexpr int kProgramNameLength = 31;

private:
    // Indices 0 to 11; the scale values 12 to 14 are constants answered by getParameter.
    std::atomic<float> params[kNumWritableParams];
    const float ladderFeedbackScale;
    char programName[kProgramNameLength + 1];

    // Both filter models' state for both channels lives in the chain, with what it derived
    // from the last settings it ran with; resume clears the state.
    SoundChain chain;

    // Reads every parameter for one frame.
    SoundSettings currentSettings() const;
    // The frame loop of both processing entries; process adds to the outputs.
    template <bool addsToOutput>
    void runChain(float** inputs, float** outputs, VstInt32 sampleFrames);
};

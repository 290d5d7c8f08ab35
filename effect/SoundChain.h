#pragma once

#include "effect/ClassicLadder.h"
#include "effect/MultimodeLadder.h"
#include "effect/NoiseGenerator.h"

#include <cstdint>

// The parameter values one frame of the chain runs with, read afresh for every frame.
struct SoundSettings
{
    float inputGain;
    float preQuantization;
    float cutoff;
    float resonance;
    float distortion;
    float crackThreshold;
    float noiseLevel;
    float quantization;
    float preInversion;
    float postInversion;
    float outputGain;
    float filterType;
    float ladderFeedbackScale;
};

// The stereo sound chain, one frame at a time: input gain, pre inversion, pre-quantiser,
// filter, distortion gain, crack, noise, post quantiser, post inversion, output gain. It
// holds the state of both filter models for both channels; only the model that filterType
// selects advances, the other keeps its state until it is selected again.
//
// The output is defined to the bit on every target: every step is rounded to a 32-bit float,
// and the expressions must stay in the order written (no reassociation, no contraction).
// Both channels go through the same frame step side by side; their recursions are
// independent, so the processor overlaps them.
class SoundChain
{
public:
    // The largest distortion gain and the quantisers' step counts at full scale: the scale
    // values that the effect also reports as read-only parameters.
    static constexpr float kDistortionRange = 5.0f;
    static constexpr float kPreQuantSteps = 128.0f;
    static constexpr float kQuantSteps = 32.0f;

    // Filter-type thresholds on the raw parameter, compared in double precision.
    static constexpr double kMultimodeLowpassAbove = 0.25;
    static constexpr double kMultimodeBandpassAbove = 0.5;
    static constexpr double kMultimodeHighpassAbove = 0.75;

    // Clears both models for both channels.
    void reset();

    const ClassicLadder& classic(int channel) const { return classicLadders[channel]; }
    const MultimodeLadder& multimode(int channel) const { return multimodeLadders[channel]; }

    // Runs one frame through the chain in place. When the classic ladder raises a cutoff
    // below its floor, settings.cutoff holds the raised value afterwards and the answer is
    // true: the caller writes it back into the parameter.
    //
    // Kept in the header so that the block loop inlines it and keeps the whole state in
    // registers between frames.
    bool processFrame(SoundSettings& settings, float& left, float& right, NoiseGenerator& noise)
    {
        left = left * settings.inputGain;
        right = right * settings.inputGain;

        if (settings.preInversion > 0.5f)
        {
            left = invert(left);
            right = invert(right);
        }

        quantise(settings.preQuantization, kPreQuantSteps, left, right);

        const bool raisedCutoff = filter(settings, left, right);

        const float gain = kDistortionRange * settings.distortion;
        left = gain * left;
        right = gain * right;

        left = crack(left, settings.crackThreshold);
        right = crack(right, settings.crackThreshold);

        // One draw per frame, shared by both channels, also when the noise level is 0:
        // the factor m = 1 + (r / 32767 - 0.5) * level lies within 1 +- level / 2.
        float n = static_cast<float>(noise.next()) / static_cast<float>(NoiseGenerator::kMaxDraw);
        n = n - 0.5f;
        n = n * settings.noiseLevel;
        const float m = 1.0f + n;
        left = m * left;
        right = m * right;

        quantise(settings.quantization, kQuantSteps, left, right);

        if (settings.postInversion > 0.5f)
        {
            left = invert(left);
            right = invert(right);
        }

        left = left * settings.outputGain;
        right = right * settings.outputGain;
        return raisedCutoff;
    }

    // Amplitude inversion: magnitude m becomes 1 - m with the sign kept, for samples within
    // -1..1; zero becomes -1.
    static float invert(float x) { return x > 0.0f ? 1.0f - x : -1.0f - x; }

    // Quantiser with level P and full-scale step count S: off at P >= 1, mute below 0.01
    // (in double precision, so that a stored 0.01f, slightly below 0.01, mutes), otherwise
    // x -> trunc(steps * x) / steps with steps = S * P, truncating toward zero.
    static void quantise(float level, float fullScaleSteps, float& left, float& right)
    {
        if (level >= 1.0f)
        {
            return;
        }
        if (static_cast<double>(level) < 0.01)
        {
            left = 0.0f;
            right = 0.0f;
            return;
        }
        const float steps = fullScaleSteps * level;
        left = static_cast<float>(truncateToInt(steps * left)) / steps;
        right = static_cast<float>(truncateToInt(steps * right)) / steps;
    }

    // Truncation toward zero into a 32-bit signed integer. Values beyond that range
    // saturate at its ends, keeping their sign, and NaN gives 0: a converting instruction
    // would answer the most negative integer for all of them, turning a hot positive sample
    // into a full negative one.
    static std::int32_t truncateToInt(float v)
    {
        // 2^31 is exactly representable; the largest float below it converts without loss.
        if (v < 2147483648.0f && v >= -2147483648.0f)
        {
            return static_cast<std::int32_t>(v);
        }
        if (v > 0.0f)
        {
            return INT32_MAX;
        }
        return v < 0.0f ? INT32_MIN : 0;
    }

    // Crack with threshold T: a positive sample below T is lifted to T, which puts a step at
    // every rising zero crossing. The second test mirrors it for a negative threshold: a
    // negative sample above T becomes T. With T in 0..1 it never fires, so negative samples
    // pass unchanged; T = 0 changes nothing.
    static float crack(float x, float threshold)
    {
        if (x > 0.0f && x < threshold)
        {
            return threshold;
        }
        if (x < 0.0f && x > threshold)
        {
            return threshold;
        }
        return x;
    }

private:
    bool filter(SoundSettings& settings, float& left, float& right)
    {
        const double filterType = settings.filterType;
        if (filterType <= kMultimodeLowpassAbove)
        {
            if (static_cast<double>(settings.cutoff) >= ClassicLadder::kBypassCutoff)
            {
                return false;
            }
            bool raisedCutoff = false;
            if (settings.cutoff < ClassicLadder::kCutoffFloor)
            {
                settings.cutoff = ClassicLadder::kCutoffFloor;
                raisedCutoff = true;
            }
            const ClassicLadder::Coefficients c = ClassicLadder::coefficients(
                settings.cutoff, settings.resonance, settings.ladderFeedbackScale);
            left = classicLadders[0].process(left, c);
            right = classicLadders[1].process(right, c);
            return raisedCutoff;
        }
        const MultimodeOutput output = filterType <= kMultimodeBandpassAbove   ? MultimodeOutput::Lowpass
                                       : filterType <= kMultimodeHighpassAbove ? MultimodeOutput::Bandpass
                                                                               : MultimodeOutput::Highpass;
        const MultimodeLadder::Coefficients c =
            MultimodeLadder::coefficients(settings.cutoff, settings.resonance);
        left = multimodeLadders[0].process(left, c, output);
        right = multimodeLadders[1].process(right, c, output);
        return false;
    }

    ClassicLadder classicLadders[2];
    MultimodeLadder multimodeLadders[2];
};

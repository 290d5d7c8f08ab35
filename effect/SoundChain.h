#pragma once

#include "effect/ClassicLadder.h"
#include "effect/FilterState.h"
#include "effect/MultimodeLadder.h"
#include "effect/NoiseGenerator.h"
#include "effect/StereoPair.h"

#include <cstdint>
#include <cstring>

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

    // True when every value has exactly the other's bit pattern. Equal bits give equal
    // results from every formula, which is what makes reusing derived values exact; this is
    // not float equality, which would take 0 for -0 and never match a NaN.
    bool hasSameBits(const SoundSettings& other) const
    {
        const std::uint32_t difference =
            (bitsOf(inputGain) ^ bitsOf(other.inputGain)) |
            (bitsOf(preQuantization) ^ bitsOf(other.preQuantization)) |
            (bitsOf(cutoff) ^ bitsOf(other.cutoff)) | (bitsOf(resonance) ^ bitsOf(other.resonance)) |
            (bitsOf(distortion) ^ bitsOf(other.distortion)) |
            (bitsOf(crackThreshold) ^ bitsOf(other.crackThreshold)) |
            (bitsOf(noiseLevel) ^ bitsOf(other.noiseLevel)) |
            (bitsOf(quantization) ^ bitsOf(other.quantization)) |
            (bitsOf(preInversion) ^ bitsOf(other.preInversion)) |
            (bitsOf(postInversion) ^ bitsOf(other.postInversion)) |
            (bitsOf(outputGain) ^ bitsOf(other.outputGain)) | (bitsOf(filterType) ^ bitsOf(other.filterType));
        return difference == 0;
    }

private:
    static std::uint32_t bitsOf(float value)
    {
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return bits;
    }
};

// Where a block's samples come from and go to. The host may pass the same or crossed arrays
// for input and output: every frame reads both inputs before it writes either output.
struct StereoBuffers
{
    const float* inLeft;
    const float* inRight;
    float* outLeft;
    float* outRight;
};

// The stereo sound chain: input gain, pre inversion, pre-quantiser, filter, distortion gain,
// crack, noise, post quantiser, post inversion, output gain. It holds the state of both filter
// models for both channels; only the model that filterType selects advances, the other keeps
// its state until it is selected again.
//
// The output is defined to the bit on every target: every step is rounded to a 32-bit float,
// and the expressions must stay in the order written (no reassociation, no contraction).
// Both channels take every step together, side by side in one register (StereoPair).
//
// What the chain derives from the settings (the filter model and its coefficients, the
// quantisers' step counts, the distortion gain, which stages are on) is worked out by
// prepare and kept, together with the settings it came from. A run of frames uses it for as
// long as every frame's freshly read settings have exactly those bits, and stops at the first
// frame whose settings differ, to prepare again. Deriving from equal bits gives equal bits,
// so this is the same sound as deriving everything for every frame.
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

    // The classic ladder's feedback scale is fixed for the chain's lifetime, so that what the
    // chain derives depends on the settings alone.
    explicit SoundChain(float newLadderFeedbackScale)
        : ladderFeedbackScale(newLadderFeedbackScale)
    {
    }

    // Clears both models for both channels.
    void reset();

    // Runs a block of frameCount frames (none when it is 0 or less) from the buffers' inputs
    // and writes the outputs, or adds to them. Each frame runs with the settings that
    // readSettings answers for it: it is asked once for every frame, in order, so a change
    // takes effect at the very frame it is first seen. When the classic ladder raises a cutoff below its floor,
    // raiseCutoff is called with the raised value: the caller writes it back into the
    // parameter.
    template <bool addsToOutput, typename ReadSettings, typename RaiseCutoff>
    void process(const StereoBuffers& buffers, int frameCount, ReadSettings& readSettings,
                 RaiseCutoff& raiseCutoff, NoiseGenerator& noise)
    {
        if (frameCount <= 0)
        {
            return;
        }
        int frame = 0;
        SoundSettings settings = readSettings();
        while (frame < frameCount)
        {
            if (prepare(settings))
            {
                raiseCutoff(settings.cutoff);
            }
            frame = run<addsToOutput>(buffers, frame, frameCount, readSettings, settings, noise);
        }
    }

private:
    // Makes the chain ready to run frames with these settings; nearly free when they have
    // the bits of the last prepared ones. When the classic ladder raises a cutoff below its
    // floor, settings.cutoff holds the raised value afterwards and the answer is true.
    bool prepare(SoundSettings& settings);

    // Runs frames from `frame` on, the first with the prepared settings, each later one only
    // if what readSettings answers for it has the prepared bits. Answers the first frame not
    // run: frameCount, or a frame whose settings differ, which are left in `next` for process
    // to prepare.
    template <bool addsToOutput, typename ReadSettings>
    int run(const StereoBuffers& buffers, int frame, int frameCount, ReadSettings& readSettings,
            SoundSettings& next, NoiseGenerator& noise)
    {
        switch (setup.filter)
        {
        case FilterModel::Classic:
        {
            ClassicLadder ladder(channels[0], channels[1], setup.classic);
            frame = runWith<addsToOutput>(ladder, buffers, frame, frameCount, readSettings, next, noise);
            ladder.save(channels[0], channels[1]);
            return frame;
        }
        case FilterModel::Multimode:
            switch (setup.multimodeOutput)
            {
            case MultimodeOutput::Lowpass:
                return runMultimode<MultimodeOutput::Lowpass, addsToOutput>(buffers, frame, frameCount,
                                                                            readSettings, next, noise);
            case MultimodeOutput::Bandpass:
                return runMultimode<MultimodeOutput::Bandpass, addsToOutput>(buffers, frame, frameCount,
                                                                             readSettings, next, noise);
            case MultimodeOutput::Highpass:
            default:
                return runMultimode<MultimodeOutput::Highpass, addsToOutput>(buffers, frame, frameCount,
                                                                             readSettings, next, noise);
            }
        case FilterModel::Bypass:
        default:
        {
            Bypass bypass;
            return runWith<addsToOutput>(bypass, buffers, frame, frameCount, readSettings, next, noise);
        }
        }
    }

    template <MultimodeOutput output, bool addsToOutput, typename ReadSettings>
    int runMultimode(const StereoBuffers& buffers, int frame, int frameCount, ReadSettings& readSettings,
                     SoundSettings& next, NoiseGenerator& noise)
    {
        MultimodeTap<output> tap{MultimodeLadder(channels[0], channels[1], setup.multimode)};
        frame = runWith<addsToOutput>(tap, buffers, frame, frameCount, readSettings, next, noise);
        tap.ladder.save(channels[0], channels[1]);
        return frame;
    }

    // The multimode ladder with its output fixed.
    template <MultimodeOutput output>
    struct MultimodeTap
    {
        MultimodeLadder ladder;
        StereoPair process(StereoPair s) { return ladder.process<output>(s); }
    };

    // A classic-ladder cutoff of kBypassCutoff or more passes the samples untouched.
    struct Bypass
    {
        StereoPair process(StereoPair s) { return s; }
    };

    enum class FilterModel
    {
        Classic,
        Bypass,
        Multimode
    };

    // The quantiser with level P and full-scale step count S: off at P >= 1, mute below 0.01
    // (in double precision, so that a stored 0.01f, slightly below 0.01, mutes), otherwise
    // x -> trunc(steps * x) / steps with steps = S * P, truncating toward zero. Switches
    // rather than one mode value, so that a frame tests each with one instruction.
    struct Quantiser
    {
        bool isStepping;
        bool isMuting;
        float steps;

        static Quantiser forLevel(float level, float fullScaleSteps);
    };

    // Crack with threshold T: a sample above 0 and below T becomes T, which puts a step at
    // every rising zero crossing; and, mirrored, a sample below 0 and above T becomes T. For
    // a positive T only the first rule can fire, for a negative T only the second, and at
    // T = 0 (or NaN) neither.
    struct Crack
    {
        bool raisesPositive;
        bool lowersNegative;
    };

    // Everything one frame derives from its settings, and the settings it was derived from
    // (with the cutoff after the classic ladder's floor).
    struct Setup
    {
        SoundSettings settings;
        bool invertsBefore;
        Quantiser preQuantiser;
        FilterModel filter;
        ClassicLadder::Coefficients classic;
        MultimodeLadder::Coefficients multimode;
        MultimodeOutput multimodeOutput;
        float distortionGain;
        Crack crack;
        Quantiser postQuantiser;
        bool invertsAfter;
    };

    // The steps before and after the filter for one run of frames, with every value they
    // use broadcast into a register once: built inside the frame loop, each of them would
    // cost a load and a shuffle per frame.
    class Stages
    {
    public:
        explicit Stages(const Setup& setup)
            : inputGain(StereoPair::both(setup.settings.inputGain))
            , invertsBefore(setup.invertsBefore)
            , preQuantiser(setup.preQuantiser)
            , preSteps(StereoPair::both(setup.preQuantiser.steps))
            , distortionGain(StereoPair::both(setup.distortionGain))
            , crackRule(setup.crack)
            , crackThreshold(StereoPair::both(setup.settings.crackThreshold))
            , noiseLevel(setup.settings.noiseLevel)
            , postQuantiser(setup.postQuantiser)
            , postSteps(StereoPair::both(setup.postQuantiser.steps))
            , invertsAfter(setup.invertsAfter)
            , outputGain(StereoPair::both(setup.settings.outputGain))
            , one(StereoPair::both(1.0f))
            , minusOne(StereoPair::both(-1.0f))
        {
        }

        // Input gain, pre inversion, pre-quantiser.
        StereoPair beforeFilter(StereoPair x) const
        {
            x = x * inputGain;
            if (invertsBefore)
            {
                x = invert(x);
            }
            return quantise(preQuantiser, preSteps, x);
        }

        // Distortion gain, crack, noise with this frame's draw, post quantiser, post
        // inversion, output gain.
        StereoPair afterFilter(StereoPair x, int noiseDraw) const
        {
            x = distortionGain * x;
            x = crack(x);

            // One draw per frame, shared by both channels, also when the noise level is 0:
            // the factor m = 1 + (r / 32767 - 0.5) * level lies within 1 +- level / 2.
            float n = static_cast<float>(noiseDraw) / static_cast<float>(NoiseGenerator::kMaxDraw);
            n = n - 0.5f;
            n = n * noiseLevel;
            const float m = 1.0f + n;
            x = StereoPair::both(m) * x;

            x = quantise(postQuantiser, postSteps, x);
            if (invertsAfter)
            {
                x = invert(x);
            }
            return x * outputGain;
        }

    private:
        // Amplitude inversion: magnitude m becomes 1 - m with the sign kept, for samples
        // within -1..1; zero becomes -1. That is 1 - x for x > 0 and -1 - x otherwise.
        StereoPair invert(StereoPair x) const
        {
            return StereoPair::select(x > StereoPair::zero(), one, minusOne) - x;
        }

        static StereoPair quantise(const Quantiser& quantiser, StereoPair steps, StereoPair x)
        {
            if (quantiser.isStepping)
            {
                return StereoPair::truncated(steps * x) / steps;
            }
            if (quantiser.isMuting)
            {
                return StereoPair::zero();
            }
            return x;
        }

        StereoPair crack(StereoPair x) const
        {
            if (crackRule.raisesPositive)
            {
                return StereoPair::select((x > StereoPair::zero()) & (x < crackThreshold), crackThreshold, x);
            }
            if (crackRule.lowersNegative)
            {
                return StereoPair::select((x < StereoPair::zero()) & (x > crackThreshold), crackThreshold, x);
            }
            return x;
        }

        StereoPair inputGain;
        bool invertsBefore;
        Quantiser preQuantiser;
        StereoPair preSteps;
        StereoPair distortionGain;
        Crack crackRule;
        StereoPair crackThreshold;
        float noiseLevel;
        Quantiser postQuantiser;
        StereoPair postSteps;
        bool invertsAfter;
        StereoPair outputGain;
        StereoPair one;
        StereoPair minusOne;
    };

    // The frame loop with the filter model fixed, so that its state stays in registers from
    // frame to frame. Kept in the header so that the block loop inlines everything in it.
    template <bool addsToOutput, typename Filter, typename ReadSettings>
    int runWith(Filter& filter, const StereoBuffers& buffers, int frame, int frameCount,
                ReadSettings& readSettings, SoundSettings& next, NoiseGenerator& noise) const
    {
        // Local copies, which the output stores cannot alias: the filter state, the noise
        // state and the stages' values stay in registers from frame to frame.
        Filter running = filter;
        NoiseGenerator generator = noise;
        const Stages stages(setup);
        for (;;)
        {
            StereoPair x = StereoPair::of(buffers.inLeft[frame], buffers.inRight[frame]);
            x = stages.beforeFilter(x);
            x = running.process(x);
            x = stages.afterFilter(x, generator.next());
            if (addsToOutput)
            {
                buffers.outLeft[frame] += x.left();
                buffers.outRight[frame] += x.right();
            }
            else
            {
                buffers.outLeft[frame] = x.left();
                buffers.outRight[frame] = x.right();
            }
            if (++frame == frameCount)
            {
                break;
            }
            const SoundSettings settings = readSettings();
            if (!settings.hasSameBits(setup.settings))
            {
                next = settings;
                break;
            }
        }
        filter = running;
        noise = generator;
        return frame;
    }

    const float ladderFeedbackScale;
    FilterState channels[2];
    Setup setup;
    bool isPrepared = false;
};

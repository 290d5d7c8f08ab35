#pragma once

#include "effect/FilterState.h"
#include "effect/StereoPair.h"

// The multimode ladder's three outputs.
enum class MultimodeOutput
{
    Lowpass,  // b4
    Bandpass, // (b3 - b4) * 3
    Highpass  // in - b4
};

// Both channels of the multimode ladder: four one-pole stages with resonant feedback and a
// cubic soft clip on the last stage. Per frame and channel, with input s:
//   in = s - q * b4
//   b[n] = (b[n-1] + previous b[n-1]) * p - b[n] * g   for n = 1..4, b0 being the previous in
//   b4 = b4 - b4^3 * 0.166667,  b0 = in
// The clip holds the loop only while |b4| stays below sqrt(12): beyond it the cubic grows the
// value instead of shrinking it, and the state would run off to infinity and then stay NaN.
// A channel whose b4 leaves that range (or is not a number) therefore starts again from
// silence, answering 0 for that frame. Whenever the state stays in range nothing is
// touched, so the output is exactly that of the plain recurrence.
//
// The output is defined to the bit on every target: every expression below must stay in the
// order written, each step rounded to a 32-bit float (no reassociation, no contraction).
//
// An object holds both channels' state in registers for a run of frames with one set of
// coefficients: it takes the state up from the stored arrays and saves it back afterwards.
class MultimodeLadder
{
public:
    // Largest |b4| after the clip from which the clip still pulls the loop back: sqrt(12).
    static constexpr float kClipLimit = 3.46410162f;

    // Shared by both channels, derived from the parameters.
    struct Coefficients
    {
        float p; // stage gain: (0.8 * k + 1) * cutoff with k = 1 - cutoff
        float g; // stage feedback: 2p - 1
        float q; // resonance feedback
    };

    static Coefficients coefficients(float cutoff, float resonance)
    {
        Coefficients c;
        const float k = 1.0f - cutoff;
        c.p = (0.8f * k + 1.0f) * cutoff;
        c.g = c.p + c.p - 1.0f;
        c.q = ((5.6f * k * k + (1.0f - k)) * k * 0.5f + 1.0f) * resonance;
        return c;
    }

    // The stage array is only ever indexed by constants, never in loops, so that the compiler
    // keeps every entry in a register of its own.
    MultimodeLadder(const FilterState& left, const FilterState& right, const Coefficients& c)
        : p(StereoPair::both(c.p))
        , g(StereoPair::both(c.g))
        , q(StereoPair::both(c.q))
        , clipScale(StereoPair::both(0.166667f))
        , bandpassGain(StereoPair::both(3.0f))
        , clipLimit(StereoPair::both(kClipLimit))
        , b{StereoPair::of(left.b[0], right.b[0]), StereoPair::of(left.b[1], right.b[1]),
            StereoPair::of(left.b[2], right.b[2]), StereoPair::of(left.b[3], right.b[3]),
            StereoPair::of(left.b[4], right.b[4])}
    {
    }

    void save(FilterState& left, FilterState& right) const { splitPairs(b, left.b, right.b); }

    // The output is a template argument, so that each output gets a frame loop of its own.
    template <MultimodeOutput output>
    StereoPair process(StereoPair s)
    {
        const StereoPair in = s - q * b[4];
        StereoPair previous = b[1];
        b[1] = (b[0] + in) * p - b[1] * g;
        StereoPair previousNext = b[2];
        b[2] = (b[1] + previous) * p - b[2] * g;
        previous = b[3];
        b[3] = (b[2] + previousNext) * p - b[3] * g;
        b[4] = (b[3] + previous) * p - b[4] * g;
        b[4] = b[4] - b[4] * b[4] * b[4] * clipScale;
        b[0] = in;
        StereoPair result = b[4];
        if (output == MultimodeOutput::Bandpass)
        {
            result = (b[3] - b[4]) * bandpassGain;
        }
        else if (output == MultimodeOutput::Highpass)
        {
            result = in - b[4];
        }
        // Any non-finite value in the stages reaches b4 within this frame, and the test
        // catches NaN as well as values beyond the clip's range.
        const StereoPair::Mask runAway = StereoPair::magnitudeBeyond(b[4], clipLimit);
        if (runAway.forEither()) [[unlikely]]
        {
            b[0] = StereoPair::clearWhere(runAway, b[0]);
            b[1] = StereoPair::clearWhere(runAway, b[1]);
            b[2] = StereoPair::clearWhere(runAway, b[2]);
            b[3] = StereoPair::clearWhere(runAway, b[3]);
            b[4] = StereoPair::clearWhere(runAway, b[4]);
            result = StereoPair::clearWhere(runAway, result);
        }
        return result;
    }

private:
    StereoPair p;
    StereoPair g;
    StereoPair q;
    StereoPair clipScale;
    StereoPair bandpassGain;
    StereoPair clipLimit;
    StereoPair b[5];
};

#pragma once

#include "effect/FilterState.h"
#include "effect/StereoPair.h"

#include <limits>

// Both channels of the classic ladder: four cascaded one-pole lowpass stages with negative
// feedback from the last one, a 24 dB per octave lowpass. Per frame and channel, with input s:
//   x      = (s - fb * out[3]) * (f^4 * 0.35013)
//   out[n] = (1 - f) * out[n] + 0.3 * in[n] + (n == 0 ? x : out[n - 1]),  in[n] = that stage's input
// The input scaling makes the gain at zero frequency 1.3^4 * 0.35013, within 1e-5 of unity
// at every cutoff, as long as the resonance is 0.
//
// The output is defined to the bit on every target: every expression below must stay in the
// order written, each step rounded to a 32-bit float (no reassociation, no contraction).
//
// An object holds both channels' state in registers for a run of frames with one set of
// coefficients: it takes the state up from the stored arrays and saves it back afterwards.
class ClassicLadder
{
public:
    // Below this cutoff the classic ladder raises the cutoff parameter itself.
    static constexpr float kCutoffFloor = 0.02f;
    // A cutoff of this or more (compared in double precision) bypasses the filter.
    static constexpr double kBypassCutoff = 1.1;

    // Shared by both channels, derived from the parameters.
    struct Coefficients
    {
        float fb;         // feedback amount: about 4 x resonance at low cutoffs
        float inputScale; // f^4 * 0.35013, with f = cutoff * 1.16
        float oneMinusF;  // the stages' pole
    };

    static Coefficients coefficients(float cutoff, float resonance, float feedbackScale)
    {
        const float f = cutoff * 1.16f;
        const float f2 = f * f;
        const float f4 = f2 * f2;
        Coefficients c;
        c.fb = (1.0f - 0.15f * f2) * feedbackScale * resonance;
        c.inputScale = f4 * 0.35013f;
        c.oneMinusF = 1.0f - f;
        return c;
    }

    // The stage arrays are only ever indexed by constants, never in loops, so that the
    // compiler keeps every entry in a register of its own.
    ClassicLadder(const FilterState& left, const FilterState& right, const Coefficients& c)
        : fb(StereoPair::both(c.fb))
        , inputScale(StereoPair::both(c.inputScale))
        , oneMinusF(StereoPair::both(c.oneMinusF))
        , stageInputWeight(StereoPair::both(0.3f))
        , stageIn{StereoPair::of(left.stageIn[0], right.stageIn[0]),
                  StereoPair::of(left.stageIn[1], right.stageIn[1]),
                  StereoPair::of(left.stageIn[2], right.stageIn[2]),
                  StereoPair::of(left.stageIn[3], right.stageIn[3])}
        , stageOut{StereoPair::of(left.stageOut[0], right.stageOut[0]),
                   StereoPair::of(left.stageOut[1], right.stageOut[1]),
                   StereoPair::of(left.stageOut[2], right.stageOut[2]),
                   StereoPair::of(left.stageOut[3], right.stageOut[3])}
    {
    }

    void save(FilterState& left, FilterState& right) const
    {
        splitPairs(stageIn, left.stageIn, right.stageIn);
        splitPairs(stageOut, left.stageOut, right.stageOut);
    }

    StereoPair process(StereoPair s)
    {
        const StereoPair x = (s - fb * stageOut[3]) * inputScale;
        stageOut[0] = oneMinusF * stageOut[0] + stageInputWeight * stageIn[0] + x;
        stageIn[0] = x;
        stageOut[1] = oneMinusF * stageOut[1] + stageInputWeight * stageIn[1] + stageOut[0];
        stageIn[1] = stageOut[0];
        stageOut[2] = oneMinusF * stageOut[2] + stageInputWeight * stageIn[2] + stageOut[1];
        stageIn[2] = stageOut[1];
        stageOut[3] = oneMinusF * stageOut[3] + stageInputWeight * stageIn[3] + stageOut[2];
        stageIn[3] = stageOut[2];
        // A non-finite value anywhere in the ladder reaches the last stage in the same frame
        // (each stage adds the one before it), and the feedback would keep it there for
        // good. Such a channel starts again from silence; finite state is never touched.
        const StereoPair::Mask runAway =
            StereoPair::magnitudeBeyond(stageOut[3], StereoPair::both(std::numeric_limits<float>::max()));
        if (runAway.forEither()) [[unlikely]]
        {
            clear(runAway, stageIn);
            clear(runAway, stageOut);
        }
        return stageOut[3];
    }

private:
    static void clear(StereoPair::Mask channels, StereoPair (&stages)[4])
    {
        stages[0] = StereoPair::clearWhere(channels, stages[0]);
        stages[1] = StereoPair::clearWhere(channels, stages[1]);
        stages[2] = StereoPair::clearWhere(channels, stages[2]);
        stages[3] = StereoPair::clearWhere(channels, stages[3]);
    }

    StereoPair fb;
    StereoPair inputScale;
    StereoPair oneMinusF;
    StereoPair stageInputWeight;
    StereoPair stageIn[4];
    StereoPair stageOut[4];
};

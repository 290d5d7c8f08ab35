#pragma once

#include "effect/FilterState.h"

#include <cmath>

// One channel of the classic ladder: four cascaded one-pole lowpass stages with negative
// feedback from the last one, a 24 dB per octave lowpass. Per frame, with input s:
//   x      = (s - fb * out[3]) * (f^4 * 0.35013)
//   out[n] = (1 - f) * out[n] + 0.3 * in[n] + (n == 0 ? x : out[n - 1]),  in[n] = that stage's input
// The input scaling makes the gain at zero frequency 1.3^4 * 0.35013, within 1e-5 of unity
// at every cutoff, as long as the resonance is 0.
//
// The output is defined to the bit on every target: every expression below must stay in the
// order written, each step rounded to a 32-bit float (no reassociation, no contraction).
struct ClassicLadder
{
    // Below this cutoff the classic ladder raises the cutoff parameter itself.
    static constexpr float kCutoffFloor = 0.02f;
    // A cutoff of this or more (compared in double precision) bypasses the filter.
    static constexpr double kBypassCutoff = 1.1;

    // Shared by both channels and recomputed every frame from the parameters.
    struct Coefficients
    {
        float f;          // cutoff * 1.16
        float fb;         // feedback amount: about 4 x resonance at low cutoffs
        float inputScale; // f^4 * 0.35013
        float oneMinusF;  // the stages' pole
    };

    static Coefficients coefficients(float cutoff, float resonance, float feedbackScale)
    {
        Coefficients c;
        c.f = cutoff * 1.16f;
        const float f2 = c.f * c.f;
        const float f4 = f2 * f2;
        c.fb = (1.0f - 0.15f * f2) * feedbackScale * resonance;
        c.inputScale = f4 * 0.35013f;
        c.oneMinusF = 1.0f - c.f;
        return c;
    }

    // The inputs each stage received on the previous frame, and the stages' outputs. Entry 4
    // of both takes no part.
    float stageIn[kFilterStateLength] = {};
    float stageOut[kFilterStateLength] = {};

    // Kept in the header so that the chain's frame loop inlines it and holds the state in
    // registers for a whole block.
    float process(float s, const Coefficients& c)
    {
        const float x = (s - c.fb * stageOut[3]) * c.inputScale;
        stageOut[0] = c.oneMinusF * stageOut[0] + 0.3f * stageIn[0] + x;
        stageIn[0] = x;
        stageOut[1] = c.oneMinusF * stageOut[1] + 0.3f * stageIn[1] + stageOut[0];
        stageIn[1] = stageOut[0];
        stageOut[2] = c.oneMinusF * stageOut[2] + 0.3f * stageIn[2] + stageOut[1];
        stageIn[2] = stageOut[1];
        stageOut[3] = c.oneMinusF * stageOut[3] + 0.3f * stageIn[3] + stageOut[2];
        stageIn[3] = stageOut[2];
        // A non-finite value anywhere in the ladder reaches the last stage in the same frame
        // (each stage adds the one before it), and the feedback would keep it there for
        // good. Such a ladder starts again from silence; finite state is never touched.
        if (!std::isfinite(stageOut[3]))
        {
            *this = ClassicLadder();
        }
        return stageOut[3];
    }
};

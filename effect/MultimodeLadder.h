#pragma once

#include "effect/FilterState.h"

#include <cmath>

// The multimode ladder's three outputs.
enum class MultimodeOutput
{
    Lowpass,  // b4
    Bandpass, // (b3 - b4) * 3
    Highpass  // in - b4
};

// One channel of the multimode ladder: four one-pole stages with resonant feedback and a
// cubic soft clip on the last stage. Per frame, with input s:
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
struct MultimodeLadder
{
    // Largest |b4| after the clip from which the clip still pulls the loop back: sqrt(12).
    static constexpr float kClipLimit = 3.46410162f;

    // Shared by both channels and recomputed every frame from the parameters.
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

    // b0 (the previous frame's fed-back input) and b1..b4 (the stages' outputs), then two
    // scratch values that are rewritten before every use.
    float b[kFilterStateLength] = {};
    float temp[kFilterStateLength] = {};

    // Kept in the header so that the chain's frame loop inlines it and holds the state in
    // registers for a whole block.
    float process(float s, const Coefficients& c, MultimodeOutput output)
    {
        const float in = s - c.q * b[4];
        temp[0] = b[1];
        b[1] = (b[0] + in) * c.p - b[1] * c.g;
        temp[1] = b[2];
        b[2] = (b[1] + temp[0]) * c.p - b[2] * c.g;
        temp[0] = b[3];
        b[3] = (b[2] + temp[1]) * c.p - b[3] * c.g;
        b[4] = (b[3] + temp[0]) * c.p - b[4] * c.g;
        b[4] = b[4] - b[4] * b[4] * b[4] * 0.166667f;
        b[0] = in;
        // Any non-finite value in the stages reaches b4 within this frame, and the negated
        // test catches NaN as well as values beyond the clip's range.
        if (!(std::fabs(b[4]) <= kClipLimit))
        {
            *this = MultimodeLadder();
            return 0.0f;
        }
        switch (output)
        {
        case MultimodeOutput::Lowpass:
            return b[4];
        case MultimodeOutput::Bandpass:
            return (b[3] - b[4]) * 3.0f;
        case MultimodeOutput::Highpass:
        default:
            return in - b[4];
        }
    }
};

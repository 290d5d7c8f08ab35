#pragma once

// The two filter recurrences written out plainly, one channel each, in 32-bit floats: the
// tests hold the effect's output to these bit for bit wherever the state stays in range.

struct ReferenceClassic
{
    float in[4] = {};
    float out[4] = {};

    float step(float s, float cutoff, float resonance)
    {
        const float f = cutoff * 1.16f;
        const float f2 = f * f;
        const float f4 = f2 * f2;
        const float fb = (1.0f - 0.15f * f2) * 4.0f * resonance;
        const float x = (s - fb * out[3]) * (f4 * 0.35013f);
        float previous = x;
        for (int n = 0; n < 4; ++n)
        {
            out[n] = (1.0f - f) * out[n] + 0.3f * in[n] + previous;
            in[n] = previous;
            previous = out[n];
        }
        return out[3];
    }
};

enum class ReferenceOutput
{
    Lowpass,
    Bandpass,
    Highpass
};

struct ReferenceMultimode
{
    float b[5] = {};

    float step(float s, float cutoff, float resonance, ReferenceOutput output)
    {
        const float k = 1.0f - cutoff;
        const float p = (0.8f * k + 1.0f) * cutoff;
        const float g = p + p - 1.0f;
        const float q = ((5.6f * k * k + (1.0f - k)) * k * 0.5f + 1.0f) * resonance;
        const float in = s - q * b[4];
        float previousInput = b[0] + in;
        for (int n = 1; n <= 4; ++n)
        {
            const float old = b[n];
            b[n] = previousInput * p - old * g;
            previousInput = b[n] + old;
        }
        b[4] = b[4] - b[4] * b[4] * b[4] * 0.166667f;
        b[0] = in;
        switch (output)
        {
        case ReferenceOutput::Lowpass:
            return b[4];
        case ReferenceOutput::Bandpass:
            return (b[3] - b[4]) * 3.0f;
        default:
            return in - b[4];
        }
    }
};

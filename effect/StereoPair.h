#pragma once

#include <emmintrin.h>

// A frame's left and right values side by side in one SSE register, so that every step of
// the chain runs both channels in one instruction. The two channels' recursions are
// independent and share their coefficients; side by side they run in the time of one.
//
// A packed instruction rounds each lane exactly as the scalar instruction does (same
// rounding mode, same denormal handling), so a step written on pairs gives the same bits
// as the same step written on floats, as long as it keeps the same operations on the same
// operands in the same order. Every operator below is one such instruction; no two of them
// are ever fused or reordered.
//
// The register holds [left, right, left, right]: the upper two lanes repeat the lower two,
// so they never raise a floating-point exception flag that the real lanes would not.
//
// Only working values live in pairs, on the stack or in registers. The register type asks for
// 16-byte alignment, and an effect object holding one would need an over-aligned allocation,
// so stored state stays in plain floats.
class StereoPair
{
public:
    StereoPair() = default;

    static StereoPair of(float left, float right)
    {
        const __m128 pair = _mm_unpacklo_ps(_mm_set_ss(left), _mm_set_ss(right));
        return StereoPair(_mm_movelh_ps(pair, pair));
    }
    static StereoPair both(float value) { return StereoPair(_mm_set1_ps(value)); }
    static StereoPair zero() { return StereoPair(_mm_setzero_ps()); }

    float left() const { return _mm_cvtss_f32(lanes); }
    float right() const { return _mm_cvtss_f32(_mm_shuffle_ps(lanes, lanes, _MM_SHUFFLE(1, 1, 1, 1))); }

    friend StereoPair operator+(StereoPair a, StereoPair b)
    {
        return StereoPair(_mm_add_ps(a.lanes, b.lanes));
    }
    friend StereoPair operator-(StereoPair a, StereoPair b)
    {
        return StereoPair(_mm_sub_ps(a.lanes, b.lanes));
    }
    friend StereoPair operator*(StereoPair a, StereoPair b)
    {
        return StereoPair(_mm_mul_ps(a.lanes, b.lanes));
    }
    friend StereoPair operator/(StereoPair a, StereoPair b)
    {
        return StereoPair(_mm_div_ps(a.lanes, b.lanes));
    }

    // A per-channel condition: all bits of a lane set where it holds, clear where not.
    class Mask
    {
    public:
        explicit Mask(__m128 newBits)
            : bits(newBits)
        {
        }

        bool forEither() const { return _mm_movemask_ps(bits) != 0; }

        friend Mask operator&(Mask a, Mask b) { return Mask(_mm_and_ps(a.bits, b.bits)); }

    private:
        friend class StereoPair;
        __m128 bits;
    };

    // Ordered comparisons: false wherever a lane is not a number.
    friend Mask operator>(StereoPair a, StereoPair b) { return Mask(_mm_cmpgt_ps(a.lanes, b.lanes)); }
    friend Mask operator<(StereoPair a, StereoPair b) { return Mask(_mm_cmplt_ps(a.lanes, b.lanes)); }
    // True where |value| exceeds the limit or is not a number: !(|value| <= limit).
    static Mask magnitudeBeyond(StereoPair value, StereoPair limit)
    {
        const __m128 magnitude = _mm_and_ps(value.lanes, _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF)));
        return Mask(_mm_cmpnle_ps(magnitude, limit.lanes));
    }

    // Picks lanes by bits alone, never by arithmetic: a value passes with its bits unchanged
    // whatever the control word says about denormal numbers.
    static StereoPair select(Mask mask, StereoPair ifSet, StereoPair ifClear)
    {
        return StereoPair(
            _mm_or_ps(_mm_and_ps(mask.bits, ifSet.lanes), _mm_andnot_ps(mask.bits, ifClear.lanes)));
    }
    // +0 in the lanes the mask holds, the value elsewhere.
    static StereoPair clearWhere(Mask mask, StereoPair value)
    {
        return StereoPair(_mm_andnot_ps(mask.bits, value.lanes));
    }

    // Truncation toward zero into a 32-bit signed integer, converted back to a float. Values
    // beyond the integer range saturate at its ends, keeping their sign, and a lane that is
    // not a number gives 0: the converting instruction alone answers the most negative
    // integer for all of them, which would turn a hot positive sample into a full negative one.
    static StereoPair truncated(StereoPair value)
    {
        __m128i whole = _mm_cvttps_epi32(value.lanes);
        // A positive value that converted to a negative integer was 2^31 or more: flipping
        // every bit of 0x80000000 makes that INT32_MAX.
        const __m128 isPositive = _mm_cmpgt_ps(value.lanes, _mm_setzero_ps());
        const __m128i overflowed = _mm_and_si128(_mm_castps_si128(isPositive), _mm_srai_epi32(whole, 31));
        whole = _mm_xor_si128(whole, overflowed);
        const __m128 notANumber = _mm_cmpunord_ps(value.lanes, value.lanes);
        whole = _mm_andnot_si128(_mm_castps_si128(notANumber), whole);
        return StereoPair(_mm_cvtepi32_ps(whole));
    }

private:
    explicit StereoPair(__m128 newLanes)
        : lanes(newLanes)
    {
    }

    __m128 lanes;
};

// Splits pairs back into one array per channel: how the filters hand their state back once a
// run of frames ends.
template <int count>
inline void splitPairs(const StereoPair (&pairs)[count], float* left, float* right)
{
    for (int i = 0; i < count; ++i)
    {
        left[i] = pairs[i].left();
        right[i] = pairs[i].right();
    }
}


#pragma once

#include <cstdint>

// The chain's noise source: a linear congruential generator,
//   state <- state * 214013 + 2531011 (mod 2^32),  draw = (state >> 16) & 0x7FFF,
// giving 0..32767. Its sequence is part of the sound, so the constants must stay exactly as
// they are. A fresh generator starts at 1, and its first draw is 41.
struct NoiseGenerator
{
    static constexpr int kMaxDraw = 32767;

    std::uint32_t state = 1;

    int next()
    {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFFu);
    }

    // The one generator of the calling thread, shared by every instance that processes on
    // it and never reseeded. The chain copies it into a local for a block and writes it
    // back at the end, so the thread-local lookup happens once per block, not per frame.
    static NoiseGenerator& forThisThread();
};

#include "effect/SoundChain.h"

void SoundChain::reset()
{
    for (int channel = 0; channel < 2; ++channel)
    {
        classicLadders[channel] = ClassicLadder();
        multimodeLadders[channel] = MultimodeLadder();
    }
}

#include "effect/NoiseGenerator.h"

NoiseGenerator& NoiseGenerator::forThisThread()
{
    // One state per thread: instances processing on different threads never share it, and
    // instances on the same thread draw from one common sequence.
    static thread_local NoiseGenerator generator;
    return generator;
}

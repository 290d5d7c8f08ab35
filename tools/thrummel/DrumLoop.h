#pragma once

#include "tools/thrummel/AudioFile.h"

// A stereo drum loop made in code, so that a render works with no audio file at hand: kick,
// snare and hi-hats, four bars of 4/4 at 120 BPM (eight seconds). The same sample rate
// always gives the same samples.
AudioData synthesiseDrumLoop(double sampleRate);

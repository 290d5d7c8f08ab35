#pragma once

#include "effect/CrusherParam.h"
#include "tests/support/TestHost.h"

#include <array>
#include <cstdint>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// Shared by the reliability cases: every instance comes from the built plug-in library's
// exported main, as a host makes it.

// Two channels of samples.
struct Stereo
{
    std::vector<float> left;
    std::vector<float> right;

    int frames() const { return static_cast<int>(left.size()); }
};

// A seeded source of test values that gives the same sequence on every target (the
// standard distributions may differ between libraries; these conversions do not).
class TestRandom
{
public:
    explicit TestRandom(std::uint32_t seed);

    // Uniform in -1..1.
    float sample();
    // A parameter value in 0..1 that is exactly 0 or exactly 1 one time in eight each, the
    // ends being where the chain's stages switch off, mute or saturate.
    float parameterValue();
    // Uniform in 0..count-1.
    int below(int count);

private:
    std::uint32_t next();

    std::uint32_t state;
};

// White noise in -1..1 on both channels, the channels independent.
Stereo whiteNoise(int frames, std::uint32_t seed);

// Values for the twelve writable parameters, by index.
using Settings = std::array<float, kNumWritableParams>;

// A setting that exercises most stages at once without noise, so that its output does not
// depend on which thread processes it: the noise factor is exactly 1 at level 0.
Settings livelySettings(float filterType);

// An open instance of the built library. Hosts make the instance, open it, tell it the
// sample rate and block size and switch it on; the host-order cases vary that sequence, so
// this opens nothing by itself.
class LibraryInstance : public PluginInstance
{
public:
    LibraryInstance();
    // Takes over a record that the library's main answered (possibly on another thread).
    explicit LibraryInstance(AEffect* record);

    using PluginInstance::get;
    // The usual start: open, sample rate, block size, switched on.
    void start(float sampleRate = 44100.0f, VstInt32 blockSize = 512);
    void apply(const Settings& settings);
    void set(int index, float value) { effect->setParameter(effect, index, value); }
    float get(int index) const { return effect->getParameter(effect, index); }

    // Runs the input through processReplacing in blocks of blockSize frames, with separate
    // input and output arrays.
    Stereo render(const Stereo& input, int blockSize);
};

// The main of the built library, loaded once for the program.
PluginEntryProc libraryEntry();

// Describes the first frame at which two streams differ in any bit (or in length); empty
// when they are identical.
std::string firstDifference(const Stereo& got, const Stereo& want);

// Describes the first sample that is NaN or infinite; empty when every sample is finite.
std::string firstNonFinite(const Stereo& samples);

// True where the test program must not start threads of its own. The 32-bit Windows tests
// run under Wine emulated by qemu-i386 where the machine cannot execute 32-bit code
// (scripts/run-win32 then sets THR_SINGLE_THREAD), and that Wine crashes, now and then, when
// two threads of a program run at once, which starting and ending a thread already does.
// There the cases run the work meant for other threads on the calling thread instead.
bool isSingleThreaded();

// Runs body on a thread of its own and waits for it. A new thread's noise generator starts
// at the beginning of its sequence, so bodies run this way draw the same noise; that does not
// hold where the program is single-threaded, and the body runs on the calling thread.
template <typename Body>
void onFreshThread(Body&& body)
{
    if (isSingleThreaded())
    {
        body();
        return;
    }
    std::thread thread(std::forward<Body>(body));
    thread.join();
}

#include "tools/thrummel/DrumLoop.h"

#include <cmath>
#include <cstdint>

namespace
{
constexpr double kPi = 3.14159265358979323846;
constexpr double kBeatsPerMinute = 120.0;
constexpr int kBars = 4;
constexpr int kStepsPerBar = 16; // sixteenth notes
constexpr double kStepSeconds = 60.0 / kBeatsPerMinute / 4.0;
// Keeps the summed voices below full scale with room for the effect's gain.
constexpr double kMasterGain = 0.5;

// A fixed-seed generator of its own, so the loop never depends on the C library's rand or on
// any other noise state in the process.
class NoiseSource
{
public:
    explicit NoiseSource(std::uint32_t seed)
        : state(seed)
    {
    }

    // Uniform in [-1, 1).
    double next()
    {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state >> 8) / 8388608.0 - 1.0;
    }

private:
    std::uint32_t state;
};

enum class Voice
{
    kKick,
    kSnare,
    kClosedHat,
    kOpenHat,
};

struct Hit
{
    int bar;
    int step;
    Voice voice;
    double velocity;
};

// Adds one hit into the stereo mix. Each voice is an exponentially decaying source:
//   kick:  a sine whose pitch falls from 150 Hz to 45 Hz (time constant 30 ms), decay 250 ms,
//          with a 2 ms noise click on the attack;
//   snare: a 185 Hz body (decay 60 ms) under noise (decay 120 ms);
//   hats:  first-difference noise, which leans to the top octave, decaying in 25 ms (closed)
//          or 150 ms (open), a little left of centre.
void addHit(AudioData& mix, const Hit& hit, std::uint32_t seed)
{
    const double rate = mix.sampleRate;
    const double startSeconds = (hit.bar * kStepsPerBar + hit.step) * kStepSeconds;
    const std::size_t first = static_cast<std::size_t>(std::lround(startSeconds * rate));
    const double lengthSeconds = hit.voice == Voice::kKick ? 0.5 : hit.voice == Voice::kSnare ? 0.35 : 0.3;
    const std::size_t length = static_cast<std::size_t>(lengthSeconds * rate);
    NoiseSource noise(seed);
    double phase = 0.0;
    double previousNoise = 0.0;
    double leftGain = 1.0;
    double rightGain = 1.0;
    if (hit.voice == Voice::kClosedHat || hit.voice == Voice::kOpenHat)
    {
        leftGain = 0.8;
        rightGain = 0.55;
    }

    for (std::size_t n = 0; n < length && first + n < mix.frameCount(); ++n)
    {
        const double t = static_cast<double>(n) / rate;
        double sample = 0.0;
        switch (hit.voice)
        {
        case Voice::kKick:
        {
            const double frequencyHz = 45.0 + 105.0 * std::exp(-t / 0.03);
            phase += 2.0 * kPi * frequencyHz / rate;
            sample = std::sin(phase) * std::exp(-t / 0.25) + 0.3 * noise.next() * std::exp(-t / 0.002);
            break;
        }
        case Voice::kSnare:
            sample = 0.5 * std::sin(2.0 * kPi * 185.0 * t) * std::exp(-t / 0.06) +
                     0.6 * noise.next() * std::exp(-t / 0.12);
            break;
        case Voice::kClosedHat:
        case Voice::kOpenHat:
        {
            const double white = noise.next();
            const double decaySeconds = hit.voice == Voice::kOpenHat ? 0.15 : 0.025;
            sample = 0.5 * (white - previousNoise) * std::exp(-t / decaySeconds);
            previousNoise = white;
            break;
        }
        }
        sample *= hit.velocity * kMasterGain;
        mix.channels[0][first + n] += static_cast<float>(sample * leftGain);
        mix.channels[1][first + n] += static_cast<float>(sample * rightGain);
    }
}

std::vector<Hit> pattern()
{
    std::vector<Hit> hits;
    for (int bar = 0; bar < kBars; ++bar)
    {
        const bool isSecondOfPair = bar % 2 == 1;
        hits.push_back({bar, 0, Voice::kKick, 1.0});
        hits.push_back({bar, 8, Voice::kKick, 1.0});
        if (isSecondOfPair)
        {
            hits.push_back({bar, 10, Voice::kKick, 0.8});
        }
        hits.push_back({bar, 4, Voice::kSnare, 1.0});
        hits.push_back({bar, 12, Voice::kSnare, 1.0});
        if (bar == kBars - 1)
        {
            hits.push_back({bar, 15, Voice::kSnare, 0.45});
        }
        for (int step = 0; step < kStepsPerBar; step += 2)
        {
            const Voice hat = step == 14 ? Voice::kOpenHat : Voice::kClosedHat;
            hits.push_back({bar, step, hat, step % 4 == 0 ? 0.9 : 0.6});
        }
    }
    return hits;
}
} // namespace

AudioData synthesiseDrumLoop(double sampleRate)
{
    AudioData mix;
    mix.sampleRate = sampleRate;
    const auto frames =
        static_cast<std::size_t>(std::lround(kBars * kStepsPerBar * kStepSeconds * sampleRate));
    mix.channels.assign(2, std::vector<float>(frames, 0.0f));
    std::uint32_t seed = 1;
    for (const Hit& hit : pattern())
    {
        addHit(mix, hit, seed++);
    }
    return mix;
}

#include "tests/reliability/Rig.h"

#include "tests/support/PluginLibrary.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>

TestRandom::TestRandom(std::uint32_t seed)
    : state(seed)
{
}

// A 32-bit mix of a Weyl sequence: every seed gives a well-spread stream, including 0.
std::uint32_t TestRandom::next()
{
    state += 0x9E3779B9u;
    std::uint32_t z = state;
    z = (z ^ (z >> 16)) * 0x85EBCA6Bu;
    z = (z ^ (z >> 13)) * 0xC2B2AE35u;
    return z ^ (z >> 16);
}

float TestRandom::sample()
{
    // 24 random bits give every float step of 0..1 below 1 exactly.
    const float unit = static_cast<float>(next() >> 8) * (1.0f / 16777216.0f);
    return unit * 2.0f - 1.0f;
}

float TestRandom::parameterValue()
{
    const std::uint32_t draw = next();
    switch (draw & 7u)
    {
    case 0:
        return 0.0f;
    case 1:
        return 1.0f;
    default:
        return static_cast<float>(draw >> 8) * (1.0f / 16777215.0f);
    }
}

int TestRandom::below(int count)
{
    return static_cast<int>(next() % static_cast<std::uint32_t>(count));
}

Stereo whiteNoise(int frames, std::uint32_t seed)
{
    TestRandom random(seed);
    Stereo noise{std::vector<float>(frames), std::vector<float>(frames)};
    for (int i = 0; i < frames; ++i)
    {
        noise.left[i] = random.sample();
        noise.right[i] = random.sample();
    }
    return noise;
}

Settings livelySettings(float filterType)
{
    Settings settings{};
    settings[kInputGain] = 0.9f;
    settings[kPreQuantization] = 0.7f;
    settings[kCutoff] = 0.3f;
    settings[kResonance] = 0.6f;
    settings[kDistortion] = 0.5f;
    settings[kCrackThreshold] = 0.1f;
    settings[kNoiseLevel] = 0.0f;
    settings[kQuantization] = 0.8f;
    settings[kPreInversion] = 0.0f;
    settings[kPostInversion] = 1.0f;
    settings[kOutputGain] = 0.8f;
    settings[kFilterType] = filterType;
    return settings;
}

PluginEntryProc libraryEntry()
{
    return builtLibrary().entry();
}

LibraryInstance::LibraryInstance()
    : PluginInstance(libraryEntry())
{
}

LibraryInstance::LibraryInstance(AEffect* record)
    : PluginInstance(record)
{
}

void LibraryInstance::start(float sampleRate, VstInt32 blockSize)
{
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(effSetBlockSize, 0, blockSize);
    dispatch(effMainsChanged, 0, 1);
}

void LibraryInstance::apply(const Settings& settings)
{
    for (int index = 0; index < kNumWritableParams; ++index)
    {
        set(index, settings[index]);
    }
}

Stereo LibraryInstance::render(const Stereo& input, int blockSize)
{
    Stereo in = input;
    Stereo out{std::vector<float>(in.left.size()), std::vector<float>(in.right.size())};
    for (int start = 0; start < in.frames(); start += blockSize)
    {
        const int frames = std::min(blockSize, in.frames() - start);
        float* inputs[2] = {in.left.data() + start, in.right.data() + start};
        float* outputs[2] = {out.left.data() + start, out.right.data() + start};
        effect->processReplacing(effect, inputs, outputs, frames);
    }
    return out;
}

namespace
{
bool sameBits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof(float)) == 0;
}
} // namespace

std::string firstDifference(const Stereo& got, const Stereo& want)
{
    std::ostringstream text;
    if (got.left.size() != want.left.size() || got.right.size() != want.right.size())
    {
        text << "lengths differ: " << got.frames() << " frames, want " << want.frames();
        return text.str();
    }
    text.precision(9);
    for (int i = 0; i < got.frames(); ++i)
    {
        if (!sameBits(got.left[i], want.left[i]) || !sameBits(got.right[i], want.right[i]))
        {
            text << "frame " << i << ": (" << got.left[i] << ", " << got.right[i] << "), want ("
                 << want.left[i] << ", " << want.right[i] << ")";
            return text.str();
        }
    }
    return "";
}

std::string firstNonFinite(const Stereo& samples)
{
    for (int i = 0; i < samples.frames(); ++i)
    {
        if (!std::isfinite(samples.left[i]) || !std::isfinite(samples.right[i]))
        {
            std::ostringstream text;
            text << "frame " << i << ": (" << samples.left[i] << ", " << samples.right[i] << ")";
            return text.str();
        }
    }
    return "";
}

bool isSingleThreaded()
{
    static const bool isSingle = std::getenv("THR_SINGLE_THREAD") != nullptr;
    return isSingle;
}

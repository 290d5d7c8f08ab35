#include "tests/effect/SoundScenarios.h"

#include "effect/CrusherParam.h"
#include "tests/support/TestHost.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <thread>

namespace
{
constexpr int kScenarioCount = 24;
constexpr int kBlocksPerScenario = 40;

// Values the parameters take, from silence through the normal range to beyond it.
constexpr float kParameterValues[] = {0.0f, 0.001f,   0.01f, 0.0101f, 0.02f, 0.1f, 0.25f,  0.2500001f,
                                      0.3f, 1.0f / 3, 0.5f,  0.6f,    0.75f, 0.9f, 1.0f,   1.05f,
                                      1.1f, 1.2f,     1.5f,  -0.3f,   2.0f,  0.2f, 0.0001f};
constexpr int kBlockSizes[] = {0, 1, 2, 3, 17, 64, 255, 256, 1000};

// A small deterministic generator, independent of the chain's own noise.
struct Random
{
    std::uint32_t state;

    std::uint32_t next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }
    float signedUnit() { return static_cast<float>(next() >> 8) / 8388608.0f - 1.0f; }
};

struct Digest
{
    std::uint64_t value = 14695981039346656037ull;

    void add(std::uint32_t word)
    {
        for (int i = 0; i < 4; ++i)
        {
            value ^= (word >> (8 * i)) & 0xFFu;
            value *= 1099511628211ull;
        }
    }
    void add(float sample)
    {
        std::uint32_t bits;
        std::memcpy(&bits, &sample, sizeof bits);
        add(bits);
    }
};

std::uint64_t runScenario(PluginEntryProc entry, int number)
{
    Random random{0x9E3779B9u * static_cast<std::uint32_t>(number + 1)};
    Digest digest;
    PluginInstance instance(entry);
    if (!instance)
    {
        return 0;
    }
    instance.dispatch(effMainsChanged, 0, 1);
    AEffect* effect = instance.get();
    // Hot input in some scenarios: float hosts deliver it, and it drives the filters out of
    // their normal range.
    const float amplitude = number % 4 == 3 ? 6.0f : 1.0f;
    std::vector<float> a(1000), b(1000), c(1000), d(1000);
    for (int block = 0; block < kBlocksPerScenario; ++block)
    {
        const int changes = random.below(4);
        for (int i = 0; i < changes; ++i)
        {
            const int index = random.below(kNumWritableParams);
            const float value = kParameterValues[random.below(sizeof kParameterValues / sizeof(float))];
            effect->setParameter(effect, index, value);
        }
        const int frames = kBlockSizes[random.below(sizeof kBlockSizes / sizeof(int))];
        for (int i = 0; i < 1000; ++i)
        {
            a[i] = amplitude * random.signedUnit();
            b[i] = amplitude * random.signedUnit();
            c[i] = random.signedUnit();
            d[i] = random.signedUnit();
        }
        if (number % 8 == 5 && block == 7 && frames > 0)
        {
            a[frames / 2] = std::nanf("");
        }
        const int layout = random.below(3);
        const bool accumulates = random.below(2) == 1;
        float* ins[2] = {a.data(), b.data()};
        float* outs[2] = {c.data(), d.data()};
        if (layout == 1)
        {
            outs[0] = a.data();
            outs[1] = b.data();
        }
        else if (layout == 2)
        {
            outs[0] = b.data();
            outs[1] = a.data();
        }
        if (accumulates)
        {
            effect->process(effect, ins, outs, frames);
        }
        else
        {
            effect->processReplacing(effect, ins, outs, frames);
        }
        for (int i = 0; i < 1000; ++i)
        {
            digest.add(outs[0][i]);
            digest.add(outs[1][i]);
        }
        digest.add(effect->getParameter(effect, kCutoff));
    }
    return digest.value;
}
} // namespace

std::vector<ScenarioDigest> runSoundScenarios(PluginEntryProc entry)
{
    std::vector<ScenarioDigest> digests;
    for (int number = 0; number < kScenarioCount; ++number)
    {
        std::uint64_t digest = 0;
        std::thread thread([&] { digest = runScenario(entry, number); });
        thread.join();
        char name[32];
        std::snprintf(name, sizeof name, "scenario-%02d", number);
        digests.push_back({name, digest});
    }
    return digests;
}

std::string formatDigests(const std::vector<ScenarioDigest>& digests)
{
    std::string text;
    for (const ScenarioDigest& d : digests)
    {
        char line[64];
        std::snprintf(line, sizeof line, "%s %016" PRIx64 "\n", d.name.c_str(), d.digest);
        text += line;
    }
    return text;
}

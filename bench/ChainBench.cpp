// Frames per second of processReplacing, one instance on one core, in each filter mode and
// for a resonant ring decaying through denormal numbers. "xRealTime" is the throughput as a
// multiple of real time at 44.1 kHz.
#include "effect/CrusherParam.h"
#include "host/PluginModule.h"
#include "host/VstAbi.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <vector>

namespace
{
constexpr int kBlockFrames = 512;
constexpr double kRealTimeRate = 44100.0;

VstIntPtr benchHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

struct Instance
{
    AEffect* effect = pluginMain(benchHost);

    Instance() { effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f); }
    ~Instance() { effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f); }
    void set(int index, float value) { effect->setParameter(effect, index, value); }
};

std::vector<float> randomBlock(std::uint32_t seed)
{
    std::vector<float> block(kBlockFrames);
    for (float& sample : block)
    {
        seed = seed * 1664525u + 1013904223u;
        sample = static_cast<float>(seed >> 8) / 8388608.0f - 1.0f;
    }
    return block;
}

void report(benchmark::State& state)
{
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kBlockFrames);
    state.counters["framesPerSecond"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kBlockFrames, benchmark::Counter::kIsRate);
    state.counters["xRealTime"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kBlockFrames / kRealTimeRate, benchmark::Counter::kIsRate);
}

// Noise and both quantisers active, moderate resonance, in the mode given by the argument's
// filter type (0, 1/3, 2/3, 1 as the editor's switch sends them).
void filterMode(benchmark::State& state)
{
    Instance instance;
    instance.set(kFilterType, static_cast<float>(state.range(0)) / 3.0f);
    instance.set(kCutoff, 0.4f);
    instance.set(kResonance, 0.5f);
    instance.set(kNoiseLevel, 0.3f);
    instance.set(kPreQuantization, 0.6f);
    instance.set(kQuantization, 0.7f);
    std::vector<float> left = randomBlock(1), right = randomBlock(2);
    std::vector<float> outLeft(kBlockFrames), outRight(kBlockFrames);
    float* ins[2] = {left.data(), right.data()};
    float* outs[2] = {outLeft.data(), outRight.data()};
    for (auto _ : state)
    {
        instance.effect->processReplacing(instance.effect, ins, outs, kBlockFrames);
        benchmark::DoNotOptimize(outLeft.data());
        benchmark::ClobberMemory();
    }
    report(state);
}
BENCHMARK(filterMode)->DenseRange(0, 3)->ArgName("filterTypeThirds");

void classicDefaults(benchmark::State& state)
{
    Instance instance;
    std::vector<float> left = randomBlock(3), right = randomBlock(4);
    std::vector<float> outLeft(kBlockFrames), outRight(kBlockFrames);
    float* ins[2] = {left.data(), right.data()};
    float* outs[2] = {outLeft.data(), outRight.data()};
    for (auto _ : state)
    {
        instance.effect->processReplacing(instance.effect, ins, outs, kBlockFrames);
        benchmark::DoNotOptimize(outLeft.data());
        benchmark::ClobberMemory();
    }
    report(state);
}
BENCHMARK(classicDefaults);

// Silence after a loud, resonant passage: the filter state decays through the denormal
// range, where every arithmetic operation on it is far slower. Each iteration first plays
// the loud passage (outside the timing), then times one block of silence far enough into
// the decay that the state is denormal.
void silenceAfterResonance(benchmark::State& state)
{
    Instance instance;
    instance.set(kFilterType, static_cast<float>(state.range(0)) / 3.0f);
    instance.set(kCutoff, 0.3f);
    instance.set(kResonance, 0.9f);
    std::vector<float> loud = randomBlock(5);
    std::vector<float> silence(kBlockFrames, 0.0f);
    std::vector<float> outLeft(kBlockFrames), outRight(kBlockFrames);
    float* loudIns[2] = {loud.data(), loud.data()};
    float* silentIns[2] = {silence.data(), silence.data()};
    float* outs[2] = {outLeft.data(), outRight.data()};
    const int decayBlocks = static_cast<int>(state.range(1));
    for (auto _ : state)
    {
        state.PauseTiming();
        instance.effect->dispatcher(instance.effect, effMainsChanged, 0, 1, nullptr, 0.0f);
        instance.effect->processReplacing(instance.effect, loudIns, outs, kBlockFrames);
        for (int i = 0; i < decayBlocks; ++i)
        {
            instance.effect->processReplacing(instance.effect, silentIns, outs, kBlockFrames);
        }
        state.ResumeTiming();
        instance.effect->processReplacing(instance.effect, silentIns, outs, kBlockFrames);
        benchmark::DoNotOptimize(outLeft.data());
        benchmark::ClobberMemory();
    }
    report(state);
}
// Classic ladder: silence right away (normal numbers) and deep in the decay (denormals).
BENCHMARK(silenceAfterResonance)->Args({0, 0})->Args({0, 40})->ArgNames({"filterTypeThirds", "decayBlocks"});
} // namespace

BENCHMARK_MAIN();

// Frames per second of processReplacing, one instance on one core, in each filter mode and
// for a resonant ring decaying through denormal numbers; and of the filter recursions alone,
// the limit that the chain's serial dependency sets. "xRealTime" is the throughput as a
// multiple of real time at 44.1 kHz.
#include "effect/ClassicLadder.h"
#include "effect/CrusherParam.h"
#include "effect/FilterState.h"
#include "effect/MultimodeLadder.h"
#include "effect/StereoPair.h"
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
void setBusySettings(Instance& instance, const benchmark::State& state)
{
    instance.set(kFilterType, static_cast<float>(state.range(0)) / 3.0f);
    instance.set(kCutoff, 0.4f);
    instance.set(kResonance, 0.5f);
    instance.set(kNoiseLevel, 0.3f);
    instance.set(kPreQuantization, 0.6f);
    instance.set(kQuantization, 0.7f);
}

void filterMode(benchmark::State& state)
{
    Instance instance;
    setBusySettings(instance, state);
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

// The filter recursion of a mode alone, both channels side by side with the settings of
// filterMode: each frame depends on the one before, so no version of the chain can run a
// mode faster than this. The ladder is a local of the loop, as in the chain, so that its
// state stays in registers.
struct ClassicAlone
{
    ClassicLadder ladder;
    StereoPair process(StereoPair s) { return ladder.process(s); }
};

struct MultimodeAlone
{
    MultimodeLadder ladder;
    StereoPair process(StereoPair s) { return ladder.process<MultimodeOutput::Lowpass>(s); }
};

template <typename Ladder>
void runLadder(benchmark::State& state, Ladder ladder)
{
    const std::vector<float> left = randomBlock(1), right = randomBlock(2);
    std::vector<float> outLeft(kBlockFrames), outRight(kBlockFrames);
    for (auto _ : state)
    {
        for (int i = 0; i < kBlockFrames; ++i)
        {
            const StereoPair out = ladder.process(StereoPair::of(left[i], right[i]));
            outLeft[i] = out.left();
            outRight[i] = out.right();
        }
        benchmark::DoNotOptimize(outLeft.data());
        benchmark::DoNotOptimize(outRight.data());
        benchmark::ClobberMemory();
    }
    report(state);
}

void ladderAlone(benchmark::State& state)
{
    const FilterState cleared;
    const float cutoff = 0.4f;
    const float resonance = 0.5f;
    if (state.range(0) == 0)
    {
        runLadder(state, ClassicAlone{ClassicLadder(cleared, cleared,
                                                    ClassicLadder::coefficients(cutoff, resonance, 4.0f))});
    }
    else
    {
        runLadder(state, MultimodeAlone{MultimodeLadder(cleared, cleared,
                                                        MultimodeLadder::coefficients(cutoff, resonance))});
    }
}
BENCHMARK(ladderAlone)->Arg(0)->Arg(1)->ArgName("multimode");

// The worst case for the chain's reuse of what it derives from the parameters: a host that
// changes the cutoff before every frame, in blocks of one frame, with the settings of
// filterMode otherwise. Each frame then derives everything anew.
void cutoffChangingEveryFrame(benchmark::State& state)
{
    Instance instance;
    setBusySettings(instance, state);
    std::vector<float> left = randomBlock(1), right = randomBlock(2);
    std::vector<float> outLeft(kBlockFrames), outRight(kBlockFrames);
    for (auto _ : state)
    {
        for (int i = 0; i < kBlockFrames; ++i)
        {
            instance.set(kCutoff, i % 2 == 0 ? 0.4f : 0.41f);
            float* ins[2] = {&left[i], &right[i]};
            float* outs[2] = {&outLeft[i], &outRight[i]};
            instance.effect->processReplacing(instance.effect, ins, outs, 1);
        }
        benchmark::DoNotOptimize(outLeft.data());
        benchmark::ClobberMemory();
    }
    report(state);
}
BENCHMARK(cutoffChangingEveryFrame)->Arg(0)->Arg(1)->ArgName("filterTypeThirds");

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

// The processing grid: every sample rate a host may run at, block sizes from one frame to
// 4096 (and empty calls), every filter mode, ten blocks of white noise each, with random
// parameters in 0..1 moved every 32 frames. Each cell runs the same script through every
// buffer layout a host may pass, through both processing entries, and checks that
//   - the output is finite,
//   - in-place, crossed and shared-input buffers give exactly what separate buffers give,
//     and the accumulating entry exactly that added to what the outputs held,
//   - input buffers are never written, and empty calls write nothing and leave no trace,
//   - processing and automation allocate nothing.
#include "tests/reliability/Rig.h"
#include "tests/support/AllocationProbe.h"
#include "tests/support/PluginLibrary.h"

#include <gtest/gtest.h>
#include <sstream>

namespace
{
constexpr int kBlocksPerRun = 10;
constexpr int kAutomationFrames = 32;
// A block size of 0 stands for calls without frames: ten of them, then one block of this size.
constexpr int kFramesAfterEmptyCalls = 64;
constexpr float kSampleRates[] = {22050.0f, 32000.0f, 44100.0f, 48000.0f, 88200.0f, 96000.0f, 192000.0f};
constexpr int kBlockSizes[] = {0, 1, 7, 64, 512, 4096};

struct Mode
{
    const char* name;
    float filterType; // the value the editor's switch sends
};
const Mode kModes[] = {
    {"ClassicLowpass", 0.0f},
    {"MultimodeLowpass", 1.0f / 3.0f},
    {"Bandpass", 2.0f / 3.0f},
    {"Highpass", 1.0f},
};

// What an output sample holds before the plug-in writes it, and what the accumulating entry
// finds in its outputs.
constexpr float kUnwritten = -7.25f;
constexpr float kAccumulatorStart = 0.375f;

// One call of a processing entry: where in the stream it starts and how many frames it has.
struct Call
{
    int start;
    int frames;
};

// One automation move: from stream frame `frame` on, parameter `index` has `value`.
struct Move
{
    int frame;
    int index;
    float value;
};

// Everything a run does, the same for every buffer layout.
struct Script
{
    float sampleRate;
    int blockSize;
    Settings initial;
    std::vector<Move> moves;
    std::vector<Call> calls;
    int frames;
    // Empty calls before each call, in every run but the reference one.
    int emptyCallsBefore;
};

Script makeScript(float sampleRate, float filterType, int blockSize, std::uint32_t seed)
{
    TestRandom random(seed);
    Script script{sampleRate, blockSize, {}, {}, {}, 0, blockSize == 0 ? kBlocksPerRun : 1};
    for (int index = 0; index < kNumWritableParams; ++index)
    {
        script.initial[index] = random.parameterValue();
    }
    script.initial[kFilterType] = filterType;

    if (blockSize == 0)
    {
        script.calls.push_back({0, kFramesAfterEmptyCalls});
    }
    for (int block = 0; block < (blockSize == 0 ? 0 : kBlocksPerRun); ++block)
    {
        const int start = block * blockSize;
        // Every second block is cut at the automation points, as hosts with sample-accurate
        // automation do; the others arrive whole, the moves they span applied before them.
        if (block % 2 == 1 && blockSize > kAutomationFrames)
        {
            for (int slice = 0; slice < blockSize; slice += kAutomationFrames)
            {
                script.calls.push_back({start + slice, std::min(kAutomationFrames, blockSize - slice)});
            }
        }
        else
        {
            script.calls.push_back({start, blockSize});
        }
    }
    script.frames = script.calls.back().start + script.calls.back().frames;

    // The filter type stays: each cell is about one mode.
    for (int frame = 0; frame < script.frames; frame += kAutomationFrames)
    {
        const int index = random.below(kFilterType);
        script.moves.push_back({frame, index, random.parameterValue()});
    }

    // Where the program is single-threaded every run shares one thread and with it the
    // thread's noise sequence; the runs only agree while the noise has no effect, at level 0.
    if (isSingleThreaded())
    {
        script.initial[kNoiseLevel] = 0.0f;
        for (Move& move : script.moves)
        {
            move.value = move.index == kNoiseLevel ? 0.0f : move.value;
        }
    }
    return script;
}

// The ways a host may hand buffers to the plug-in.
enum class Layout
{
    Separate,    // distinct input and output arrays
    InPlace,     // each output array is its channel's input array
    Crossed,     // the left output is the right input array and the other way round
    SharedInput, // one input array for both channels
};

enum class Entry
{
    Replacing,    // processReplacing: writes the outputs
    Accumulating, // process: adds to what the outputs hold
};

struct RunResult
{
    Stereo output;
    long allocations = 0;
    bool isInputIntact = true;
    bool didEmptyCallsWrite = false;
};

// Runs the script on a thread of its own (so that the noise sequence starts afresh) with a
// new instance, and answers what ended up in the output arrays.
RunResult run(const Script& script, Layout layout, Entry entryKind, const Stereo& input, bool withEmptyCalls)
{
    RunResult result;
    auto body = [&]
    {
        LibraryInstance instance;
        ASSERT_TRUE(instance);
        AEffect* effect = instance.get();
        instance.start(script.sampleRate, script.blockSize);
        instance.apply(script.initial);

        Stereo in = input;
        const float outStart = entryKind == Entry::Accumulating ? kAccumulatorStart : kUnwritten;
        Stereo out{std::vector<float>(in.left.size(), outStart),
                   std::vector<float>(in.right.size(), outStart)};
        float* inputs[2] = {in.left.data(), in.right.data()};
        float* outputs[2] = {out.left.data(), out.right.data()};
        switch (layout)
        {
        case Layout::InPlace:
            outputs[0] = in.left.data();
            outputs[1] = in.right.data();
            break;
        case Layout::Crossed:
            outputs[0] = in.right.data();
            outputs[1] = in.left.data();
            break;
        case Layout::SharedInput:
            inputs[1] = in.left.data();
            break;
        default:
            break;
        }
        const AEffectProcessProc entry =
            entryKind == Entry::Accumulating ? effect->process : effect->processReplacing;
        float spareLeft = kUnwritten;
        float spareRight = kUnwritten;
        float* spareOutputs[2] = {&spareLeft, &spareRight};

        std::size_t nextMove = 0;
        long allocationsBefore = 0;
        for (std::size_t c = 0; c < script.calls.size(); ++c)
        {
            const Call& call = script.calls[c];
            // The first block on a thread may set up the thread's noise state; from the
            // second on nothing may allocate.
            if (c == 1)
            {
                allocationsBefore = AllocationProbe::allocationCount();
            }
            while (nextMove < script.moves.size() && script.moves[nextMove].frame < call.start + call.frames)
            {
                instance.set(script.moves[nextMove].index, script.moves[nextMove].value);
                ++nextMove;
            }
            float* callInputs[2] = {inputs[0] + call.start, inputs[1] + call.start};
            float* callOutputs[2] = {outputs[0] + call.start, outputs[1] + call.start};
            for (int empty = 0; withEmptyCalls && empty < script.emptyCallsBefore; ++empty)
            {
                entry(effect, callInputs, spareOutputs, 0);
            }
            entry(effect, callInputs, callOutputs, call.frames);
        }
        if (script.calls.size() > 1)
        {
            result.allocations = AllocationProbe::allocationCount() - allocationsBefore;
        }

        switch (layout)
        {
        case Layout::InPlace:
            result.output = in;
            break;
        case Layout::Crossed:
            result.output = Stereo{in.right, in.left};
            break;
        default:
            result.output = out;
            result.isInputIntact = in.left == input.left && in.right == input.right;
            break;
        }
        result.didEmptyCallsWrite = spareLeft != kUnwritten || spareRight != kUnwritten;
    };
    onFreshThread(body);
    return result;
}

// What the accumulating entry leaves: the replacing entry's result added to what the output
// arrays held before.
Stereo accumulated(const Stereo& held, const Stereo& result)
{
    Stereo sum = result;
    for (int i = 0; i < sum.frames(); ++i)
    {
        sum.left[i] = held.left[i] + result.left[i];
        sum.right[i] = held.right[i] + result.right[i];
    }
    return sum;
}

Stereo constant(int frames, float value)
{
    return Stereo{std::vector<float>(frames, value), std::vector<float>(frames, value)};
}

Stereo swapped(const Stereo& s)
{
    return Stereo{s.right, s.left};
}

using GridCell = std::tuple<int, int>; // sample-rate index, mode index

class ProcessingGrid : public ::testing::TestWithParam<GridCell>
{
public:
    static void SetUpTestSuite() { AllocationProbe::watch(builtLibrary().nativeHandle()); }

protected:
    TestHost host;
};

TEST_P(ProcessingGrid, EveryLayoutGivesTheSameFiniteOutputWithoutWritingInputsOrAllocating)
{
    ASSERT_NE(libraryEntry(), nullptr) << PluginLibrary::builtPath();
    const int rateIndex = std::get<0>(GetParam());
    const int modeIndex = std::get<1>(GetParam());
    for (int blockIndex = 0; blockIndex < static_cast<int>(std::size(kBlockSizes)); ++blockIndex)
    {
        const int blockSize = kBlockSizes[blockIndex];
        const std::uint32_t seed =
            static_cast<std::uint32_t>(10000 * rateIndex + 100 * modeIndex + blockIndex);
        std::ostringstream label;
        label << "block size " << blockSize << ", seed " << seed
              << (isSingleThreaded() ? ", noise held at 0 (runs share one thread)" : "");
        SCOPED_TRACE(label.str());

        const Script script =
            makeScript(kSampleRates[rateIndex], kModes[modeIndex].filterType, blockSize, seed);
        const Stereo stereo = whiteNoise(script.frames, seed);
        const Stereo mono{stereo.left, stereo.left};

        const RunResult reference = run(script, Layout::Separate, Entry::Replacing, stereo, false);
        EXPECT_EQ(firstNonFinite(reference.output), "") << "separate buffers";
        const RunResult monoReference = run(script, Layout::Separate, Entry::Replacing, mono, false);
        EXPECT_EQ(firstNonFinite(monoReference.output), "") << "the same signal on both channels";

        struct Variant
        {
            const char* name;
            Layout layout;
            Entry entry;
            const Stereo& input;
            Stereo want;
        };
        const Stereo& want = reference.output;
        const Stereo& wantMono = monoReference.output;
        const Stereo held = constant(script.frames, kAccumulatorStart);
        const Variant variants[] = {
            {"separate, with empty calls", Layout::Separate, Entry::Replacing, stereo, want},
            {"in place", Layout::InPlace, Entry::Replacing, stereo, want},
            {"crossed", Layout::Crossed, Entry::Replacing, stereo, want},
            {"shared input", Layout::SharedInput, Entry::Replacing, mono, wantMono},
            {"accumulating, separate", Layout::Separate, Entry::Accumulating, stereo,
             accumulated(held, want)},
            {"accumulating, in place", Layout::InPlace, Entry::Accumulating, stereo,
             accumulated(stereo, want)},
            {"accumulating, crossed", Layout::Crossed, Entry::Accumulating, stereo,
             accumulated(swapped(stereo), want)},
            {"accumulating, shared input", Layout::SharedInput, Entry::Accumulating, mono,
             accumulated(held, wantMono)},
        };
        EXPECT_EQ(reference.allocations + monoReference.allocations, 0) << "separate buffers";
        EXPECT_TRUE(reference.isInputIntact && monoReference.isInputIntact) << "separate buffers";
        for (const Variant& variant : variants)
        {
            SCOPED_TRACE(variant.name);
            const RunResult result = run(script, variant.layout, variant.entry, variant.input, true);
            EXPECT_EQ(firstDifference(result.output, variant.want), "");
            EXPECT_TRUE(result.isInputIntact) << "an input array was written";
            EXPECT_FALSE(result.didEmptyCallsWrite) << "a call without frames wrote output";
            EXPECT_EQ(result.allocations, 0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(RatesAndModes, ProcessingGrid,
                         ::testing::Combine(::testing::Range(0, static_cast<int>(std::size(kSampleRates))),
                                            ::testing::Range(0, static_cast<int>(std::size(kModes)))),
                         [](const ::testing::TestParamInfo<GridCell>& info)
                         {
                             return std::to_string(static_cast<int>(kSampleRates[std::get<0>(info.param)])) +
                                    "_" + kModes[std::get<1>(info.param)].name;
                         });
} // namespace

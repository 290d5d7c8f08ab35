// Threads as hosts use them: automation and a control surface set parameters from two
// threads while the audio thread processes and the user-interface thread serves the editor.
// The checks below show that the values arrive and the audio stays finite; the linux-tsan
// preset runs the same cases under ThreadSanitizer, which shows that no access races.
#include "editor/EditorBase.h"
#include "host/EffectBaseExt.h"
#include "tests/reliability/Rig.h"
#include "tests/support/PluginLibrary.h"

#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace
{
constexpr int kBlock = 64;
// Each writer makes at least this many changes, and goes on until the audio thread has
// processed kBlocksWhileWriting blocks, so that their work overlaps on any machine.
constexpr int kWriterRounds = 4000;
constexpr int kBlocksWhileWriting = 50;
// The user-interface thread serves the editor at least this often.
constexpr int kIdleCalls = 200;

// The editor behind an instance of the built library. The library was compiled from the same
// classes as this program, so its objects can be read through them.
EditorBase* editorOf(const LibraryInstance& instance)
{
    auto* object = static_cast<EffectBaseExt*>(static_cast<EffectBase*>(instance.get()->object));
    return object->getEditor();
}

// The value each writer leaves its parameters at: distinct per index and within 0..1.
float finalValue(int index)
{
    return 0.05f + 0.075f * static_cast<float>(index);
}

// Holds every party until all have arrived, so that their work overlaps.
class StartLine
{
public:
    explicit StartLine(int newParties)
        : parties(newParties)
    {
    }

    void arriveAndWait()
    {
        arrived.fetch_add(1);
        while (!isSingleThreaded() && arrived.load() < parties)
        {
            std::this_thread::yield();
        }
    }

private:
    const int parties;
    std::atomic<int> arrived{0};
};

// Runs every party on a thread of its own, all at once, and waits for them. Where the
// program is single-threaded the parties run one after another on this thread: the calls and
// the checks stay the same, only the threads are lost there.
void runTogether(const std::vector<std::function<void()>>& parties)
{
    if (isSingleThreaded())
    {
        for (const auto& party : parties)
        {
            party();
        }
        return;
    }
    std::vector<std::thread> threads;
    for (const auto& party : parties)
    {
        threads.emplace_back(party);
    }
    for (std::thread& thread : threads)
    {
        thread.join();
    }
}

class Threads : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_NE(libraryEntry(), nullptr) << PluginLibrary::builtPath(); }

    TestHost host;
};

TEST_F(Threads, TwoParameterWritersWhileAThirdThreadProcesses)
{
    LibraryInstance instance;
    ASSERT_TRUE(instance);
    instance.start();
    Settings settings = livelySettings(0.0f);
    settings[kNoiseLevel] = 0.5f;
    instance.apply(settings);
    instance.dispatch(effEditOpen);

    StartLine startLine(4);
    std::atomic<int> writersDone{0};
    std::atomic<int> blocksProcessed{0};
    // The first writer owns indices 0 to 5, the second 6 to 11 (the filter type among them,
    // so the models switch under the audio thread too).
    auto writer = [&](int firstIndex, std::uint32_t seed)
    {
        TestRandom random(seed);
        startLine.arriveAndWait();
        for (int round = 0;
             round < kWriterRounds || (!isSingleThreaded() && blocksProcessed.load() < kBlocksWhileWriting);
             ++round)
        {
            const int index = firstIndex + random.below(kNumWritableParams / 2);
            instance.set(index, random.parameterValue());
        }
        for (int index = firstIndex; index < firstIndex + kNumWritableParams / 2; ++index)
        {
            instance.set(index, finalValue(index));
        }
        writersDone.fetch_add(1);
    };

    std::string nonFinite;
    auto audio = [&]
    {
        const Stereo input = whiteNoise(kBlock, 0x7A5Du);
        startLine.arriveAndWait();
        // A few blocks more once the writers are done, with their final values.
        int blocksAfterWriters = 8;
        while (blocksAfterWriters > 0)
        {
            if (writersDone.load() == 2)
            {
                --blocksAfterWriters;
            }
            const Stereo output = instance.render(input, kBlock);
            blocksProcessed.fetch_add(1);
            if (nonFinite.empty())
            {
                nonFinite = firstNonFinite(output);
            }
        }
    };

    // The user-interface thread serves the editor and reads parameter texts meanwhile.
    auto userInterface = [&]
    {
        startLine.arriveAndWait();
        char text[64];
        for (int calls = 0; calls < kIdleCalls || writersDone.load() < 2; ++calls)
        {
            instance.dispatch(effEditIdle);
            instance.dispatch(effGetParamDisplay, calls % kNumParams, 0, text);
        }
    };

    runTogether(
        {[&] { writer(0, 0xF1u); }, [&] { writer(kNumWritableParams / 2, 0xF2u); }, userInterface, audio});

    EXPECT_EQ(nonFinite, "");
    for (int index = 0; index < kNumWritableParams; ++index)
    {
        SCOPED_TRACE("parameter " + std::to_string(index));
        if (index == kCutoff)
        {
            // The classic ladder's floor write may land after the writer's last store, when
            // the audio thread read a value below the floor just before it.
            const float cutoff = instance.get(kCutoff);
            EXPECT_TRUE(cutoff == finalValue(kCutoff) || cutoff == 0.02f) << cutoff;
        }
        else
        {
            EXPECT_EQ(instance.get(index), finalValue(index));
        }
    }
    instance.dispatch(effEditClose);
}

// A parameter set on a thread other than the user-interface thread reaches the open
// editor, which takes it up at its next idle call on the user-interface thread.
TEST_F(Threads, ParameterChangeFromAnotherThreadReachesTheEditor)
{
    LibraryInstance instance;
    ASSERT_TRUE(instance);
    instance.start();
    instance.dispatch(effEditOpen);
    EditorBase* editor = editorOf(instance);
    ASSERT_NE(editor, nullptr);
    instance.dispatch(effEditIdle);
    ASSERT_FALSE(editor->isUpdatePending());

    // Automation on the audio thread while the user-interface thread idles the editor.
    StartLine startLine(2);
    std::atomic<bool> isAudioDone{false};
    auto audio = [&]
    {
        const Stereo input = whiteNoise(kBlock, 0xA0u);
        startLine.arriveAndWait();
        for (int round = 0; round < 200; ++round)
        {
            instance.set(kOutputGain, static_cast<float>(round % 8) / 8.0f);
            instance.render(input, kBlock);
        }
        isAudioDone = true;
    };
    auto userInterface = [&]
    {
        startLine.arriveAndWait();
        for (int calls = 0; calls < kIdleCalls || !isAudioDone.load(); ++calls)
        {
            instance.dispatch(effEditIdle);
        }
    };
    runTogether({audio, userInterface});

    onFreshThread([&] { instance.set(kDistortion, 0.4f); });
    EXPECT_TRUE(editor->isUpdatePending());
    instance.dispatch(effEditIdle);
    EXPECT_FALSE(editor->isUpdatePending());
    instance.dispatch(effEditClose);
}
} // namespace

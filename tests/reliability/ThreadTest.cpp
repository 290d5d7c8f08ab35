// Threads as hosts use them: automation and a control surface set parameters from two
// threads while the audio thread processes and the user-interface thread serves the editor.
// The checks below show that the values arrive and the audio stays finite; the linux-tsan
// preset runs the same cases under ThreadSanitizer, which shows that no access races.
#include "editor/EditorBase.h"
#include "host/EffectBaseExt.h"
#include "tests/reliability/Rig.h"
#include "tests/support/PluginLibrary.h"

#include <atomic>
#include <gtest/gtest.h>
#include <string>
#include <thread>

namespace
{
constexpr int kBlock = 64;
// Each writer makes at least this many changes, and goes on until the audio thread has
// processed kBlocksWhileWriting blocks, so that their work overlaps on any machine.
constexpr int kWriterRounds = 4000;
constexpr int kBlocksWhileWriting = 50;

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

// Spins until every party has arrived, so that the threads' work overlaps.
void arriveAndWait(std::atomic<int>& arrived, int parties)
{
    arrived.fetch_add(1);
    while (arrived.load() < parties)
    {
        std::this_thread::yield();
    }
}

TEST(Threads, TwoParameterWritersWhileAThirdThreadProcesses)
{
    ASSERT_NE(libraryEntry(), nullptr) << PluginLibrary::builtPath();
    TestHost host;
    LibraryInstance instance;
    ASSERT_TRUE(instance);
    instance.start();
    Settings settings = livelySettings(0.0f);
    settings[kNoiseLevel] = 0.5f;
    instance.apply(settings);
    instance.dispatch(effEditOpen);

    // The first writer owns indices 0 to 5, the second 6 to 11 (the filter type among them, so
    // the models switch under the audio thread too).
    std::atomic<int> arrived{0};
    std::atomic<int> writersDone{0};
    std::atomic<int> blocksProcessed{0};
    auto writer = [&](int firstIndex, std::uint32_t seed)
    {
        TestRandom random(seed);
        arriveAndWait(arrived, 4);
        for (int round = 0; round < kWriterRounds || blocksProcessed.load() < kBlocksWhileWriting; ++round)
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
    std::thread audio(
        [&]
        {
            const Stereo input = whiteNoise(kBlock, 0x7A5Du);
            arriveAndWait(arrived, 4);
            // A few blocks more once the writers are done, with their final values.
            int blocksAfterWriters = 8;
            while (blocksAfterWriters > 0)
            {
                if (writersDone.load() == 2)
                {
                    --blocksAfterWriters;
                }
                const Stereo output = instance.render(input, kBlock);
                ++blocksProcessed;
                if (nonFinite.empty())
                {
                    nonFinite = firstNonFinite(output);
                }
            }
        });
    std::thread first(writer, 0, 0xF1u);
    std::thread second(writer, kNumWritableParams / 2, 0xF2u);

    // This thread is the user-interface thread: it serves the editor and reads parameter
    // texts while the others run.
    arriveAndWait(arrived, 4);
    int idleCalls = 0;
    char text[64];
    while (writersDone.load() < 2)
    {
        instance.dispatch(effEditIdle);
        instance.dispatch(effGetParamDisplay, idleCalls % kNumParams, 0, text);
        ++idleCalls;
    }
    first.join();
    second.join();
    audio.join();

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
}

// A parameter set on a thread other than the user-interface thread reaches the open
// editor, which takes it up at its next idle call on the user-interface thread.
TEST(Threads, ParameterChangeFromAnotherThreadReachesTheEditor)
{
    ASSERT_NE(libraryEntry(), nullptr) << PluginLibrary::builtPath();
    TestHost host;
    LibraryInstance instance;
    ASSERT_TRUE(instance);
    instance.start();
    instance.dispatch(effEditOpen);
    EditorBase* editor = editorOf(instance);
    ASSERT_NE(editor, nullptr);
    instance.dispatch(effEditIdle);
    ASSERT_FALSE(editor->isUpdatePending());

    std::atomic<bool> isAudioDone{false};
    std::thread audio(
        [&]
        {
            const Stereo input = whiteNoise(kBlock, 0xA0u);
            for (int round = 0; round < 200; ++round)
            {
                instance.set(kOutputGain, static_cast<float>(round % 8) / 8.0f);
                instance.render(input, kBlock);
            }
            isAudioDone = true;
        });
    while (!isAudioDone.load())
    {
        instance.dispatch(effEditIdle);
    }
    audio.join();

    onFreshThread([&] { instance.set(kDistortion, 0.4f); });
    EXPECT_TRUE(editor->isUpdatePending());
    instance.dispatch(effEditIdle);
    EXPECT_FALSE(editor->isUpdatePending());
    instance.dispatch(effEditClose);
}
} // namespace

// Call sequences that real hosts use, beyond the textbook order of open, sample rate, block
// size, switch on, process, switch off, close. Each must leave the instance working as if it
// had been started the usual way, and closing must free everything.
#include "host/EffectBase.h"
#include "tests/reliability/Rig.h"
#include "tests/support/AllocationProbe.h"
#include "tests/support/PluginLibrary.h"

#include <gtest/gtest.h>
#include <memory>
#include <set>

namespace
{
constexpr int kBlock = 64;
// Hosts of later interface versions announce the sample precision before opening: request
// 77 with 0 for 32-bit floats. This plug-in knows only 32-bit processing and answers 0.
constexpr VstInt32 kSetProcessPrecision = 77;
constexpr VstIntPtr kPrecision32 = 0;

// The four filter modes, by the values the editor's switch sends.
constexpr float kModes[4] = {0.0f, 1.0f / 3.0f, 2.0f / 3.0f, 1.0f};

const Stereo& testInput()
{
    static const Stereo input = whiteNoise(4 * kBlock, 0x05EDu);
    return input;
}

Stereo firstHalf(const Stereo& s)
{
    const auto half = s.left.size() / 2;
    return Stereo{{s.left.begin(), s.left.begin() + half}, {s.right.begin(), s.right.begin() + half}};
}

Stereo secondHalf(const Stereo& s)
{
    const auto half = s.left.size() / 2;
    return Stereo{{s.left.begin() + half, s.left.end()}, {s.right.begin() + half, s.right.end()}};
}

Stereo joined(const Stereo& a, const Stereo& b)
{
    Stereo s = a;
    s.left.insert(s.left.end(), b.left.begin(), b.left.end());
    s.right.insert(s.right.end(), b.right.begin(), b.right.end());
    return s;
}

// What an instance started the usual way makes of the input with the given settings.
Stereo usualOutput(const Settings& settings, const Stereo& input)
{
    LibraryInstance instance;
    instance.start();
    instance.apply(settings);
    return instance.render(input, kBlock);
}

class HostOrder : public ::testing::Test
{
public:
    static void SetUpTestSuite() { AllocationProbe::watch(builtLibrary().nativeHandle()); }

protected:
    void SetUp() override
    {
        ASSERT_NE(libraryEntry(), nullptr) << PluginLibrary::builtPath();
        // One instance through its whole life first, so that the runtime's one-time
        // allocations are behind us when a case counts blocks.
        usualOutput(livelySettings(0.0f), testInput());
    }

    TestHost host;
};

TEST_F(HostOrder, SampleRateBlockSizeAndPrecisionBeforeOpen)
{
    LibraryInstance instance;
    ASSERT_TRUE(instance);
    EXPECT_EQ(instance.dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f), 0);
    EXPECT_EQ(instance.dispatch(effSetBlockSize, 0, kBlock), 0);
    EXPECT_EQ(instance.dispatch(kSetProcessPrecision, 0, kPrecision32), 0);
    instance.dispatch(effOpen);
    instance.dispatch(effMainsChanged, 0, 1);

    auto* object = static_cast<EffectBase*>(instance.get()->object);
    EXPECT_EQ(object->getSampleRate(), 96000.0f) << "opening keeps what the host said before";
    EXPECT_EQ(object->getBlockSize(), kBlock);
    const Settings settings = livelySettings(0.0f);
    instance.apply(settings);
    EXPECT_EQ(firstDifference(instance.render(testInput(), kBlock), usualOutput(settings, testInput())), "");
}

// The answer to effEditGetRect, copied out of the plug-in's memory.
struct RectAnswer
{
    VstIntPtr answer;
    bool hasRect;
    ERect rect;
};

RectAnswer askRect(LibraryInstance& instance)
{
    ERect* rect = nullptr;
    RectAnswer result{instance.dispatch(effEditGetRect, 0, 0, &rect), rect != nullptr, {}};
    if (rect)
    {
        result.rect = *rect;
    }
    return result;
}

// Hosts size the window they give the editor before they open it, so the rectangle must be
// ready as soon as the instance exists and stay the same once the editor is open.
TEST_F(HostOrder, EditorRectangleBeforeTheEditorOpens)
{
    LibraryInstance instance;
    ASSERT_TRUE(instance);
    instance.start();
    const RectAnswer before = askRect(instance);
    if (before.hasRect)
    {
        EXPECT_GT(before.rect.right - before.rect.left, 0);
        EXPECT_GT(before.rect.bottom - before.rect.top, 0);
    }
    else
    {
        EXPECT_EQ(before.answer, 0) << "an answer without a rectangle";
    }

    instance.dispatch(effEditOpen);
    const RectAnswer open = askRect(instance);
    EXPECT_EQ(open.answer, before.answer);
    ASSERT_EQ(open.hasRect, before.hasRect);
    if (open.hasRect)
    {
        EXPECT_EQ(open.rect.right - open.rect.left, before.rect.right - before.rect.left);
        EXPECT_EQ(open.rect.bottom - open.rect.top, before.rect.bottom - before.rect.top);
    }
    instance.dispatch(effEditIdle);
    instance.dispatch(effEditClose);
    EXPECT_EQ(askRect(instance).hasRect, before.hasRect) << "the rectangle outlives a closed editor";
}

// Switching on clears the filter state, however often it comes: a second switch-on with or
// without audio in between gives exactly a fresh instance's output.
TEST_F(HostOrder, SwitchedOnTwice)
{
    for (const float mode : kModes)
    {
        SCOPED_TRACE("filter type " + std::to_string(mode));
        const Settings settings = livelySettings(mode);
        const Stereo want = usualOutput(settings, testInput());

        LibraryInstance twiceInARow;
        twiceInARow.start();
        twiceInARow.dispatch(effMainsChanged, 0, 1);
        twiceInARow.apply(settings);
        EXPECT_EQ(firstDifference(twiceInARow.render(testInput(), kBlock), want), "") << "on, on, process";

        LibraryInstance againAfterAudio;
        againAfterAudio.start();
        againAfterAudio.apply(settings);
        againAfterAudio.render(whiteNoise(3 * kBlock, 0xAF7Eu), kBlock);
        againAfterAudio.dispatch(effMainsChanged, 0, 1);
        EXPECT_EQ(firstDifference(againAfterAudio.render(testInput(), kBlock), want), "")
            << "on, process, on, process";
    }
}

// Nothing in the sound depends on the sample rate, and only switching on clears the state:
// a rate and block size changed while switched on must not disturb the stream.
TEST_F(HostOrder, SampleRateChangedWithoutSwitchingOff)
{
    for (const float mode : kModes)
    {
        SCOPED_TRACE("filter type " + std::to_string(mode));
        const Settings settings = livelySettings(mode);
        LibraryInstance instance;
        instance.start(44100.0f, kBlock);
        instance.apply(settings);
        const Stereo before = instance.render(firstHalf(testInput()), kBlock);
        instance.dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
        instance.dispatch(effSetBlockSize, 0, 2 * kBlock);
        const Stereo after = instance.render(secondHalf(testInput()), 2 * kBlock);
        EXPECT_EQ(firstDifference(joined(before, after), usualOutput(settings, testInput())), "");
    }
}

// Hosts that tear down in a hurry close a running instance, even with its editor open:
// effClose must still free the effect and its editor.
TEST_F(HostOrder, ClosedWhileSwitchedOnWithTheEditorOpen)
{
    const long before = AllocationProbe::liveBlocks();
    {
        LibraryInstance instance;
        ASSERT_TRUE(instance);
        instance.start();
        instance.apply(livelySettings(0.0f));
        instance.render(testInput(), kBlock);
        instance.dispatch(effEditOpen);
        EXPECT_EQ(instance.close(), 1);
    }
    EXPECT_EQ(AllocationProbe::liveBlocks(), before);
}

// One slot of the interleaved-instances case: an instance with its own settings and the
// audio it was given and gave back.
struct Slot
{
    std::unique_ptr<LibraryInstance> instance;
    Settings settings;
    Stereo fed;
    Stereo got;
};

void fill(Slot& slot, int serial)
{
    slot.instance = std::make_unique<LibraryInstance>();
    slot.settings = livelySettings(kModes[serial % 4]);
    slot.settings[kCutoff] = 0.05f + 0.03f * static_cast<float>(serial);
    slot.settings[kResonance] = 0.05f * static_cast<float>(serial % 20);
    slot.fed = Stereo{};
    slot.got = Stereo{};
    slot.instance->start();
    slot.instance->apply(slot.settings);
}

void feed(Slot& slot, std::uint32_t seed)
{
    const Stereo block = whiteNoise(kBlock, seed);
    slot.got = joined(slot.got, slot.instance->render(block, kBlock));
    slot.fed = joined(slot.fed, block);
}

// Closes a slot's instance after checking that it made exactly what a lone instance with its
// settings makes of the same audio: no state shared or overwritten between instances.
void retire(Slot& slot, int index)
{
    SCOPED_TRACE("slot " + std::to_string(index));
    EXPECT_EQ(firstDifference(slot.got, usualOutput(slot.settings, slot.fed)), "");
    EXPECT_EQ(slot.instance->close(), 1);
    slot.instance.reset();
}

// Hosts keep many instances of one plug-in and create and delete them in any order.
TEST_F(HostOrder, SixteenInstancesCreatedAndDestroyedInterleaved)
{
    constexpr int kSlots = 16;
    const long before = AllocationProbe::liveBlocks();
    {
        Slot slots[kSlots];
        std::set<AEffect*> records;
        for (int i = 0; i < kSlots; ++i)
        {
            fill(slots[i], i);
            ASSERT_TRUE(*slots[i].instance);
            records.insert(slots[i].instance->get());
        }
        EXPECT_EQ(records.size(), static_cast<size_t>(kSlots)) << "every instance has a record of its own";
        for (int i = 0; i < kSlots; ++i)
        {
            feed(slots[i], 100u + i);
        }
        // Replace half of them from both ends inwards, the others running on in between.
        int serial = kSlots;
        for (const int i : {0, 15, 1, 14, 2, 13, 3, 12})
        {
            retire(slots[i], i);
            for (int other = 0; other < kSlots; ++other)
            {
                if (slots[other].instance)
                {
                    feed(slots[other], 200u + 16u * i + other);
                }
            }
            fill(slots[i], serial++);
            feed(slots[i], 300u + i);
        }
        for (int i = 0; i < kSlots; ++i)
        {
            feed(slots[i], 400u + i);
        }
        for (const int i : {9, 4, 15, 0, 7, 12, 3, 10, 1, 14, 5, 8, 13, 2, 11, 6})
        {
            retire(slots[i], i);
        }
    }
    EXPECT_EQ(AllocationProbe::liveBlocks(), before) << "every instance was freed";
}

// Hosts often create an instance on one thread and run it from another; nothing in the
// instance may belong to the thread that made it. (A single-threaded program runs every part
// on its one thread.)
TEST_F(HostOrder, CreatedOnOneThreadDrivenFromAnother)
{
    const Settings settings = livelySettings(2.0f / 3.0f);
    const Stereo want = usualOutput(settings, testInput());
    long blocksPerInstance = 0;
    {
        const long before = AllocationProbe::liveBlocks();
        LibraryInstance instance;
        blocksPerInstance = AllocationProbe::liveBlocks() - before;
    }

    AEffect* record = nullptr;
    onFreshThread([&] { record = libraryEntry()(TestHost::callback); });
    ASSERT_NE(record, nullptr);
    LibraryInstance instance(record);
    Stereo got;
    onFreshThread(
        [&]
        {
            instance.start();
            instance.apply(settings);
            got = instance.render(firstHalf(testInput()), kBlock);
        });
    onFreshThread([&] { got = joined(got, instance.render(secondHalf(testInput()), kBlock)); });
    EXPECT_EQ(firstDifference(got, want), "");

    // Counted around the close alone: a thread's runtime bookkeeping may come and go with the
    // threads above.
    const long beforeClose = AllocationProbe::liveBlocks();
    EXPECT_EQ(instance.close(), 1);
    EXPECT_EQ(beforeClose - AllocationProbe::liveBlocks(), blocksPerInstance) << "the instance is freed";
}
} // namespace

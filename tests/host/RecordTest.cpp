#include "effect/CrusherParam.h"
#include "host/EffectBase.h"
#include "tests/host/LibraryFixture.h"

#include <cstdio>
#include <cstring>

namespace
{
using RecordTest = EntryTest;

TEST_P(RecordTest, HostAnsweringVersionZeroGetsNoInstance)
{
    host.versionAnswer = 0;
    const long before = AllocationProbe::allocationCount();
    PluginInstance instance(entry());
    EXPECT_FALSE(instance);
    EXPECT_EQ(AllocationProbe::allocationCount(), before) << "no object may be built for a refusing host";
    // Nothing but the version question reached the host.
    ASSERT_EQ(host.requests().size(), 1u);
    EXPECT_EQ(host.requests()[0].opcode, audioMasterVersion);
    EXPECT_EQ(host.requests()[0].effect, nullptr);
}

TEST_P(RecordTest, RecordCarriesTheEffectsIdentity)
{
    PluginInstance instance(entry());
    ASSERT_TRUE(instance);
    const AEffect& record = *instance.get();
    EXPECT_EQ(record.magic, 0x56737450);
    EXPECT_EQ(record.numPrograms, 16);
    EXPECT_EQ(record.numParams, 15);
    EXPECT_EQ(record.numInputs, 2);
    EXPECT_EQ(record.numOutputs, 2);
    EXPECT_EQ(record.flags, 0x19);
    EXPECT_EQ(record.resvd1, 0);
    EXPECT_EQ(record.resvd2, 0);
    EXPECT_EQ(record.initialDelay, 0);
    EXPECT_EQ(record.realQualities, 0);
    EXPECT_EQ(record.offQualities, 0);
    EXPECT_EQ(record.ioRatio, 1.0f);
    EXPECT_EQ(record.user, nullptr);
    EXPECT_EQ(record.uniqueID, 0x4678);
    EXPECT_EQ(record.version, 1);
    for (unsigned char byte : record.future)
    {
        EXPECT_EQ(byte, 0);
    }
    EXPECT_NE(record.dispatcher, nullptr);
    EXPECT_NE(record.process, nullptr);
    EXPECT_NE(record.processReplacing, nullptr);
    EXPECT_NE(record.setParameter, nullptr);
    EXPECT_NE(record.getParameter, nullptr);
}

TEST_P(RecordTest, RecordPointsBackToTheEffectObject)
{
    PluginInstance instance(entry());
    ASSERT_TRUE(instance);
    auto* object = static_cast<EffectBase*>(instance->object);
    EXPECT_EQ(object->getRecord(), instance.get());
}

TEST_P(RecordTest, EffCloseAnswersOneAndFreesEverything)
{
    const long before = AllocationProbe::liveBlocks();
    PluginInstance instance(entry());
    ASSERT_TRUE(instance);
    EXPECT_GT(AllocationProbe::liveBlocks(), before) << "the effect and its editor live on the heap";
    EXPECT_EQ(instance.close(), 1) << "effClose answers 1 although the dispatcher itself answers 0";
    EXPECT_EQ(AllocationProbe::liveBlocks(), before) << "effect and editor are deleted by effClose";
}

TEST_P(RecordTest, InstancesAreIndependent)
{
    PluginInstance first(entry());
    PluginInstance second(entry());
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.get(), second.get());
    first->setParameter(first.get(), kOutputGain, 0.25f);
    EXPECT_EQ(second->getParameter(second.get(), kOutputGain), 1.0f);
    char name[] = "Only mine";
    first.dispatch(effSetProgramName, 0, 0, name);
    EXPECT_EQ(second.text(effGetProgramName), "Default");
}

THR_INSTANTIATE_FOR_BOTH_ENTRIES(RecordTest);

// A library whose effect cannot create its editor offers no instance, then or later. Each
// case loads a private copy of the library, so its never-cleared flag stays in that copy.
TEST(OutOfMemory, FailedEditorRefusesThisAndEveryLaterInstance)
{
    const std::string copy = PluginLibrary::makePrivateCopy("oom");
    {
        PluginLibrary library(copy);
        ASSERT_TRUE(library.isLoaded()) << copy;
        AllocationProbe::watch(library.nativeHandle());
        TestHost host;
        AllocationProbe::failNth(2); // the effect is the first allocation, its editor the second
        EXPECT_EQ(library.entry()(TestHost::callback), nullptr);
        AllocationProbe::failNth(0);

        // Later calls build an instance, see the flag and destroy it again. (The first failed
        // call may leave the runtime's one-time caches behind, so the count starts here.)
        const long afterFailure = AllocationProbe::liveBlocks();
        EXPECT_EQ(library.entry()(TestHost::callback), nullptr) << "the library stays out of memory";
        EXPECT_EQ(library.entry()(TestHost::callback), nullptr);
        EXPECT_EQ(AllocationProbe::liveBlocks(), afterFailure) << "refused instances are destroyed";
    }
    std::remove(copy.c_str());
}

TEST(OutOfMemory, FailedEffectAllocationAnswersNoInstanceButLeavesTheLibraryUsable)
{
    const std::string copy = PluginLibrary::makePrivateCopy("noeffect");
    {
        PluginLibrary library(copy);
        ASSERT_TRUE(library.isLoaded()) << copy;
        AllocationProbe::watch(library.nativeHandle());
        TestHost host;
        AllocationProbe::failNth(1);
        EXPECT_EQ(library.entry()(TestHost::callback), nullptr);
        AllocationProbe::failNth(0);
        AEffect* effect = library.entry()(TestHost::callback);
        ASSERT_NE(effect, nullptr);
        EXPECT_EQ(effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f), 1);
    }
    std::remove(copy.c_str());
}
} // namespace

#include "tests/support/TestHost.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
class RecordTest : public ::testing::TestWithParam<EntrySource>
{
protected:
    TestHost host;
};

TEST_P(RecordTest, HostAnsweringVersionZeroGetsNoInstance)
{
    host.versionAnswer = 0;
    PluginInstance instance(entryFor(GetParam()));
    EXPECT_FALSE(instance);
    // Nothing but the version question reached the host: no effect was built.
    ASSERT_EQ(host.requests().size(), 1u);
    EXPECT_EQ(host.requests()[0].opcode, audioMasterVersion);
    EXPECT_EQ(host.requests()[0].effect, nullptr);
}

TEST_P(RecordTest, RecordCarriesTheEffectsIdentity)
{
    PluginInstance instance(entryFor(GetParam()));
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
    EXPECT_NE(record.object, nullptr);
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

INSTANTIATE_TEST_SUITE_P(Entries, RecordTest, ::testing::Values(EntrySource::InProcess, EntrySource::Library),
                         [](const ::testing::TestParamInfo<EntrySource>& info) { return toString(info.param); });
} // namespace

#include "tests/effect/SoundDigests.h"
#include "tests/effect/SoundScenarios.h"
#include "tests/support/TestHost.h"

#include <gtest/gtest.h>

namespace
{
// The digests were made by running the scenarios through the 64-bit Linux library (see
// SoundDigestTool); every target's library must give the same output bits.
TEST(SoundDigest, LoadedLibraryGivesTheRecordedOutputBits)
{
    TestHost host;
    const std::vector<ScenarioDigest> digests = runSoundScenarios(entryFor(EntrySource::Library));
    EXPECT_EQ(formatDigests(digests), kRecordedSoundDigests);
}

// The linked-in chain gives the same bits as the loaded library.
TEST(SoundDigest, InProcessChainGivesTheRecordedOutputBits)
{
    TestHost host;
    const std::vector<ScenarioDigest> digests = runSoundScenarios(entryFor(EntrySource::InProcess));
    EXPECT_EQ(formatDigests(digests), kRecordedSoundDigests);
}
} // namespace

#include "tests/tools/ToolHarness.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <sndfile.h>

namespace
{
// A stereo equaliser from Debian's dpf-plugins-vst package: a VST 2 effect nobody here
// wrote, loaded through its own "main" like ours.
constexpr const char* kThirdPartyPlugin = "/usr/lib/vst/3BandEQ-vst.so";
constexpr const char* kPackage = "dpf-plugins-vst";

double rms(const std::vector<float>& samples)
{
    double sum = 0.0;
    for (float sample : samples)
    {
        sum += static_cast<double>(sample) * sample;
    }
    return std::sqrt(sum / static_cast<double>(samples.size()));
}

class ThirdPartyPlugin : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(kThirdPartyPlugin))
        {
            GTEST_SKIP() << kThirdPartyPlugin << " is absent: install the Debian package " << kPackage;
        }
    }

    ScratchFolder folder;
};

TEST_F(ThirdPartyPlugin, ParamsListsItsIdentityAndParameters)
{
    const ToolRun run = runTool({"params", "--plugin", kThirdPartyPlugin});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("I/O        2 in, 2 out"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Master"), std::string::npos) << run.out;
}

// Rendering works, repeats to the byte, and a setting by name changes the sound the way the
// parameter says: the master level at its lowest makes the output quieter.
TEST_F(ThirdPartyPlugin, RendersAndTakesSettings)
{
    writeSound(folder.path("in.wav"), makeSignal(2, 20000, 9), 44100, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    const std::vector<std::vector<std::string>> renders = {
        {"render", folder.path("in.wav"), folder.path("plain1.wav"), "--plugin", kThirdPartyPlugin},
        {"render", folder.path("in.wav"), folder.path("plain2.wav"), "--plugin", kThirdPartyPlugin},
        {"render", folder.path("in.wav"), folder.path("quiet.wav"), "--plugin", kThirdPartyPlugin, "--set",
         "master=0"}};
    for (const auto& arguments : renders)
    {
        const ToolRun run = runTool(arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err;
    }
    EXPECT_TRUE(fileBytes(folder.path("plain1.wav")) == fileBytes(folder.path("plain2.wav")))
        << "two renders with the same settings differ";
    const SoundFile plain = readSound(folder.path("plain1.wav"));
    const SoundFile quiet = readSound(folder.path("quiet.wav"));
    ASSERT_EQ(plain.channels.size(), 2u);
    ASSERT_EQ(quiet.channels.size(), 2u);
    const double input = rms(makeSignal(2, 20000, 9)[0]);
    EXPECT_GT(rms(plain.channels[0]), 0.5 * input) << "the equaliser at its defaults passes the signal";
    EXPECT_LT(rms(quiet.channels[0]), 0.25 * rms(plain.channels[0]));
}
} // namespace

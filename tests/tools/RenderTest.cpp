#include "tests/support/TestHost.h"
#include "tests/tools/ToolHarness.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sstream>
#include <thread>

namespace
{
constexpr int kFixtureRate = 48000;
constexpr int kFixtureFrames = 5000;
// Does not divide the fixture's length, so the last block is a short one.
constexpr int kBlockSize = 300;

// Settings that take the effect away from its defaults, some named (in any case), some by
// index; the in-process reference applies the same values by index.
const std::vector<std::string> kSettingArguments = {"--set", "input gain=0.5", "--set", "DISTORTION=0.7",
                                                    "--set", "6=0.25",         "--set", "7=0.4"};
const std::vector<std::pair<int, float>> kSettingsByIndex = {{0, 0.5f}, {4, 0.7f}, {6, 0.25f}, {7, 0.4f}};

struct RenderCase
{
    const char* label;
    const char* inputName;
    int channelCount;
    int format;
};

std::ostream& operator<<(std::ostream& out, const RenderCase& value)
{
    return out << value.label;
}

class RenderMatchesInProcess : public ::testing::TestWithParam<RenderCase>
{
};

// The binary's output equals, bit for bit, the input file's samples processed in this process
// through the same plug-in library with the same settings, block size and tail.
TEST_P(RenderMatchesInProcess, BitForBit)
{
    ScratchFolder folder;
    const RenderCase& c = GetParam();
    const std::string in = folder.path(c.inputName);
    const std::string out = folder.path("out.wav");
    writeSound(in, makeSignal(c.channelCount, kFixtureFrames, 7), kFixtureRate, c.format);
    // The reference starts from the samples as stored, which for integer formats are rounded.
    const SoundFile stored = readSound(in);
    ASSERT_EQ(stored.channels.size(), static_cast<std::size_t>(c.channelCount));

    std::vector<std::string> arguments = {"render", in,    out, "--block", std::to_string(kBlockSize),
                                          "--tail", "0.01"};
    arguments.insert(arguments.end(), kSettingArguments.begin(), kSettingArguments.end());
    const ToolRun run = runTool(arguments);
    ASSERT_EQ(run.exitCode, 0) << run.err;

    const SoundFile rendered = readSound(out);
    EXPECT_EQ(rendered.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    EXPECT_EQ(rendered.sampleRate, kFixtureRate);
    const int tailFrames = kFixtureRate / 100;
    const Channels expected =
        processInProcess(stored.channels, kFixtureRate, kBlockSize, kSettingsByIndex, tailFrames);
    ASSERT_EQ(rendered.channels.size(), 2u);
    ASSERT_EQ(rendered.channels[0].size(), static_cast<std::size_t>(kFixtureFrames + tailFrames));
    for (std::size_t channel = 0; channel < 2; ++channel)
    {
        for (std::size_t n = 0; n < expected[channel].size(); ++n)
        {
            // Compared as bits: equal values with different bits (signed zeros) count as different.
            ASSERT_EQ(std::memcmp(&rendered.channels[channel][n], &expected[channel][n], sizeof(float)), 0)
                << "channel " << channel << " frame " << n << ": " << rendered.channels[channel][n]
                << " != " << expected[channel][n];
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, RenderMatchesInProcess,
    ::testing::Values(RenderCase{"StereoWavFloat", "in.wav", 2, SF_FORMAT_WAV | SF_FORMAT_FLOAT},
                      RenderCase{"MonoWavFloat", "in.wav", 1, SF_FORMAT_WAV | SF_FORMAT_FLOAT},
                      RenderCase{"StereoAiff16", "in.aiff", 2, SF_FORMAT_AIFF | SF_FORMAT_PCM_16},
                      RenderCase{"MonoFlac24", "in.flac", 1, SF_FORMAT_FLAC | SF_FORMAT_PCM_24}),
    [](const ::testing::TestParamInfo<RenderCase>& info) { return std::string(info.param.label); });

struct FormatCase
{
    const char* label;
    const char* inputName; // empty: the built-in loop
    int inputFormat;
    const char* outputName;
    std::vector<std::string> extraArguments;
    int expectedFormat;
};

class OutputFormat : public ::testing::TestWithParam<FormatCase>
{
};

// OUT's extension picks the container; without a known extension OUT follows the input;
// samples are 32-bit float unless asked otherwise or the container holds only integers.
TEST_P(OutputFormat, FollowsExtensionThenInput)
{
    ScratchFolder folder;
    const FormatCase& c = GetParam();
    std::vector<std::string> arguments = {"render"};
    if (*c.inputName)
    {
        writeSound(folder.path(c.inputName), makeSignal(2, 1000, 3), kFixtureRate, c.inputFormat);
        arguments.push_back(folder.path(c.inputName));
    }
    arguments.push_back(folder.path(c.outputName));
    arguments.insert(arguments.end(), c.extraArguments.begin(), c.extraArguments.end());
    const ToolRun run = runTool(arguments);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(readSound(folder.path(c.outputName)).format, c.expectedFormat);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OutputFormat,
    ::testing::Values(
        FormatCase{"LoopToWav", "", 0, "out.wav", {}, SF_FORMAT_WAV | SF_FORMAT_FLOAT},
        FormatCase{
            "LoopToAiff16", "", 0, "out.AIF", {"--encoding", "pcm16"}, SF_FORMAT_AIFF | SF_FORMAT_PCM_16},
        FormatCase{"LoopToFlac", "", 0, "out.flac", {}, SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
        FormatCase{"AiffInputUnknownExtension",
                   "in.aiff",
                   SF_FORMAT_AIFF | SF_FORMAT_PCM_16,
                   "out.snd",
                   {},
                   SF_FORMAT_AIFF | SF_FORMAT_FLOAT},
        FormatCase{"FlacInputUnknownExtension",
                   "in.flac",
                   SF_FORMAT_FLAC | SF_FORMAT_PCM_16,
                   "out",
                   {},
                   SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
        FormatCase{"WavInputToAiff24",
                   "in.wav",
                   SF_FORMAT_WAV | SF_FORMAT_PCM_16,
                   "out.aiff",
                   {"--encoding", "pcm24"},
                   SF_FORMAT_AIFF | SF_FORMAT_PCM_24}),
    [](const ::testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.label); });

// The same input and settings give the same bytes, noise included: every render starts the
// plug-in's per-thread noise afresh.
TEST(Render, TwoRendersOfTheLoopAreByteIdentical)
{
    ScratchFolder folder;
    const std::vector<std::string> settings = {"--set", "noise level=0.8", "--set", "distortion=0.6"};
    for (const char* name : {"a.wav", "b.wav"})
    {
        // A second apart, so that anything time-stamped in the file shows as a difference.
        if (std::string(name) == "b.wav")
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(1100));
        }
        std::vector<std::string> arguments = {"render", folder.path(name)};
        arguments.insert(arguments.end(), settings.begin(), settings.end());
        const ToolRun run = runTool(arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err;
    }
    const std::string first = fileBytes(folder.path("a.wav"));
    EXPECT_GT(first.size(), 1000000u) << "the loop lasts eight seconds";
    // Compared as a whole: a failure names the first differing byte instead of dumping both.
    const std::string second = fileBytes(folder.path("b.wav"));
    const auto difference = std::mismatch(first.begin(), first.end(), second.begin(), second.end());
    EXPECT_TRUE(first == second) << "the renders differ from byte " << (difference.first - first.begin());
}

// The loop is rendered at the rate asked for and reports where it went.
TEST(Render, LoopTakesTheRateAndSaysWhereItWrote)
{
    ScratchFolder folder;
    const ToolRun run = runTool({"render", folder.path("loop.wav"), "--rate", "22050"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find(folder.path("loop.wav")), std::string::npos) << run.out;
    const SoundFile loop = readSound(folder.path("loop.wav"));
    EXPECT_EQ(loop.sampleRate, 22050);
    ASSERT_EQ(loop.channels.size(), 2u);
    EXPECT_EQ(loop.channels[0].size(), 8u * 22050u);
    float peak = 0.0f;
    for (float sample : loop.channels[0])
    {
        peak = std::max(peak, std::abs(sample));
    }
    EXPECT_GT(peak, 0.1f) << "the loop is not silent";
    EXPECT_LT(peak, 1.0f) << "the loop leaves headroom";
}

struct SettingCase
{
    const char* label;
    std::vector<std::string> arguments;
    float gain;
    bool isInverted;
};

class SettingsReachThePlugin : public ::testing::TestWithParam<SettingCase>
{
};

// Through a fixture effect whose output is input × Gain, inverted when Polarity is above
// 0.5: names in any case and with blanks, and indices, all reach the parameter they mean.
TEST_P(SettingsReachThePlugin, ByNameAndByIndex)
{
    ScratchFolder folder;
    const SettingCase& c = GetParam();
    const Channels input = makeSignal(2, 700, 11);
    writeSound(folder.path("in.wav"), input, kFixtureRate, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    std::vector<std::string> arguments = {"render", folder.path("in.wav"), folder.path("out.wav"), "--plugin",
                                          toolFixture("gain")};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const ToolRun run = runTool(arguments);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const SoundFile rendered = readSound(folder.path("out.wav"));
    ASSERT_EQ(rendered.channels.size(), 2u);
    for (std::size_t channel = 0; channel < 2; ++channel)
    {
        ASSERT_EQ(rendered.channels[channel].size(), input[channel].size());
        for (std::size_t n = 0; n < input[channel].size(); ++n)
        {
            float expected = input[channel][n] * c.gain;
            if (c.isInverted)
            {
                expected = -expected;
            }
            ASSERT_EQ(rendered.channels[channel][n], expected) << "channel " << channel << " frame " << n;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsReachThePlugin,
    ::testing::Values(SettingCase{"Defaults", {}, 1.0f, false},
                      SettingCase{"ByName", {"--set", "Gain=0.25"}, 0.25f, false},
                      SettingCase{"ByNameOtherCase", {"--set", "gAIN=0.25"}, 0.25f, false},
                      SettingCase{"ByNameWithBlanks", {"--set", " gain =0.5"}, 0.5f, false},
                      SettingCase{"ByIndex", {"--set", "0=0.125"}, 0.125f, false},
                      SettingCase{"SecondByIndex", {"--set=1=1"}, 1.0f, true},
                      SettingCase{"LastOneWins", {"--set", "gain=0.5", "--set", "0=0.75"}, 0.75f, false},
                      SettingCase{"Both", {"--set", "polarity=0.9", "--set", "gain=0.5"}, 0.5f, true}),
    [](const ::testing::TestParamInfo<SettingCase>& info) { return std::string(info.param.label); });

// `params` prints what an instance of the library reports, after the settings: identity,
// and per parameter its index, name, value, display and label.
TEST(Params, TableShowsWhatTheInstanceReports)
{
    const ToolRun run = runTool({"params", "--set", "input gain=0.25", "--set", "4=0.75"});
    ASSERT_EQ(run.exitCode, 0) << run.err;

    TestHost host;
    PluginInstance instance(entryFor(EntrySource::Library));
    ASSERT_TRUE(instance);
    instance->setParameter(instance.get(), 0, 0.25f);
    instance->setParameter(instance.get(), 4, 0.75f);
    EXPECT_NE(run.out.find("Effect     " + instance.text(effGetEffectName) + "\n"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Vendor     " + instance.text(effGetVendorString) + "\n"), std::string::npos);
    EXPECT_NE(run.out.find("Product    " + instance.text(effGetProductString) + "\n"), std::string::npos);
    EXPECT_NE(run.out.find("Unique ID  " + std::to_string(instance->uniqueID)), std::string::npos);
    EXPECT_NE(run.out.find("I/O        " + std::to_string(instance->numInputs) + " in, " +
                           std::to_string(instance->numOutputs) + " out"),
              std::string::npos);

    std::istringstream lines(run.out);
    std::string line;
    while (std::getline(lines, line) && line.rfind("Index", std::string::npos) == std::string::npos)
    {
    }
    for (int index = 0; index < instance->numParams; ++index)
    {
        SCOPED_TRACE("parameter " + std::to_string(index));
        ASSERT_TRUE(std::getline(lines, line)) << "the table ends early";
        char expected[256];
        std::snprintf(expected, sizeof(expected), "%5d  %-24s %10.6f  %-12s %s", index,
                      instance.text(effGetParamName, index).c_str(),
                      static_cast<double>(instance->getParameter(instance.get(), index)),
                      instance.text(effGetParamDisplay, index).c_str(),
                      instance.text(effGetParamLabel, index).c_str());
        EXPECT_EQ(line, expected);
    }
    EXPECT_FALSE(std::getline(lines, line)) << "more rows than parameters: " << line;
}
} // namespace

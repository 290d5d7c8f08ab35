#include "tests/tools/ToolHarness.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sndfile.h>

namespace
{
// Exit statuses as the tool documents them in its usage text.
constexpr int kUsage = 2;
constexpr int kInput = 3;
constexpr int kFormat = 4;
constexpr int kParameter = 5;
constexpr int kPlugin = 6;
constexpr int kOutput = 7;

struct ErrorCase
{
    const char* label;
    // "{dir}" stands for the test's folder, "{fixture:KIND}" for a fixture plug-in library.
    std::vector<std::string> arguments;
    int exitCode;
    const char* message;     // a part of what stderr must say
    long fileSizeLimit = -1; // bytes any file of the run may grow to; -1: no limit
};

std::ostream& operator<<(std::ostream& out, const ErrorCase& value)
{
    return out << value.label;
}

std::string expand(std::string argument, const ScratchFolder& folder)
{
    const std::string dir = "{dir}";
    const std::string fixture = "{fixture:";
    if (argument.rfind(dir, 0) == 0)
    {
        return folder.path(argument.substr(dir.size() + 1));
    }
    if (argument.rfind(fixture, 0) == 0)
    {
        return toolFixture(argument.substr(fixture.size(), argument.size() - fixture.size() - 1));
    }
    return argument;
}

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

class RenderFailure : public ::testing::TestWithParam<ErrorCase>
{
protected:
    void SetUp() override
    {
        writeSound(folder.path("stereo.wav"), makeSignal(2, 400, 5), 44100, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
        writeSound(folder.path("three.wav"), makeSignal(3, 400, 5), 44100, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
        std::ofstream(folder.path("text.wav")) << "these bytes are not a sound file\n";
        std::filesystem::create_directory(folder.path("folder.wav"));
        writeBytes(folder.path("empty.wav"), "");
        // The header of an MPEG audio frame and nothing after it.
        writeBytes(folder.path("frame.wav"), std::string("\xFF\xFB\x90\x64", 4) + std::string(100, '\0'));

        // Files cut short, as an interrupted copy leaves them: each still opens.
        const Channels signal = makeSignal(2, 4000, 7);
        for (const auto& [name, format] : {std::pair<std::string, int>{"cut.wav", SF_FORMAT_WAV},
                                           {"cut.aiff", SF_FORMAT_AIFF},
                                           {"cut.flac", SF_FORMAT_FLAC}})
        {
            const std::string whole = folder.path("whole-" + name);
            writeSound(whole, signal, 44100, format | SF_FORMAT_PCM_16);
            const std::string bytes = fileBytes(whole);
            std::filesystem::remove(whole);
            writeBytes(folder.path(name), bytes.substr(0, bytes.size() / 2));
        }

        // Headers that lie: a sound chunk of nearly 4 GiB in a file of a few hundred bytes, a
        // format chunk of 2 GiB, and a format code no reader knows.
        const std::string wav = folder.path("valid.wav");
        writeSound(wav, makeSignal(2, 100, 9), 44100, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
        const std::string valid = fileBytes(wav);
        std::filesystem::remove(wav);
        const auto patched = [&](const std::string& chunk, std::size_t offset, const std::string& value)
        {
            std::string bytes = valid;
            bytes.replace(bytes.find(chunk) + offset, value.size(), value);
            return bytes;
        };
        writeBytes(folder.path("huge-data.wav"), patched("data", 4, std::string("\xF0\xFF\xFF\xFF", 4)));
        writeBytes(folder.path("huge-fmt.wav"), patched("fmt ", 4, std::string("\xF0\xFF\xFF\x7F", 4)));
        writeBytes(folder.path("unknown-code.wav"), patched("fmt ", 8, std::string("\x77\x77", 2)));
    }

    ScratchFolder folder;
};

// Each failure exits with its own status and a message that names the problem, and leaves
// no output file, finished or partial, behind.
TEST_P(RenderFailure, ExitsWithItsStatusAndWritesNothing)
{
    const ErrorCase& c = GetParam();
    std::vector<std::string> arguments;
    for (const std::string& argument : c.arguments)
    {
        arguments.push_back(expand(argument, folder));
    }
    const auto before = folder.entries();
    const ToolRun run = runTool(arguments, c.fileSizeLimit);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << "stderr: " << run.err;
    EXPECT_EQ(run.err.rfind("thrummel: ", 0), 0u) << "stderr: " << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << "stderr: " << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
    EXPECT_EQ(folder.entries(), before) << "a file was left in the output folder";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RenderFailure,
    ::testing::Values(
        ErrorCase{"MissingInput", {"render", "{dir}/absent.wav", "{dir}/out.wav"}, kInput, "does not exist"},
        ErrorCase{"InputIsAFolder", {"render", "{dir}/folder.wav", "{dir}/out.wav"}, kInput, "is a folder"},
        ErrorCase{"UnsupportedFormat",
                  {"render", "{dir}/text.wav", "{dir}/out.wav"},
                  kFormat,
                  "not in a supported format"},
        ErrorCase{"ThreeChannels", {"render", "{dir}/three.wav", "{dir}/out.wav"}, kFormat, "has 3 channels"},
        ErrorCase{"MpegFrame",
                  {"render", "{dir}/frame.wav", "{dir}/out.wav"},
                  kFormat,
                  "not in a supported format"},
        ErrorCase{"EmptyInput", {"render", "{dir}/empty.wav", "{dir}/out.wav"}, kInput, "is empty"},
        ErrorCase{"TruncatedWav", {"render", "{dir}/cut.wav", "{dir}/out.wav"}, kInput, "is truncated"},
        ErrorCase{"TruncatedAiff", {"render", "{dir}/cut.aiff", "{dir}/out.wav"}, kInput, "is truncated"},
        ErrorCase{"TruncatedFlac", {"render", "{dir}/cut.flac", "{dir}/out.wav"}, kInput, "cannot be read"},
        ErrorCase{"HugeSoundChunk",
                  {"render", "{dir}/huge-data.wav", "{dir}/out.wav"},
                  kInput,
                  "header announces 1073741820 frames, the file holds 100"},
        ErrorCase{"HugeFormatChunk",
                  {"render", "{dir}/huge-fmt.wav", "{dir}/out.wav"},
                  kFormat,
                  "not in a supported format"},
        ErrorCase{"UnknownFormatCode",
                  {"render", "{dir}/unknown-code.wav", "{dir}/out.wav"},
                  kFormat,
                  "not in a supported format"},
        ErrorCase{"FloatIntoFlac",
                  {"render", "{dir}/out.flac", "--encoding", "float32"},
                  kFormat,
                  "FLAC holds integer samples only"},
        ErrorCase{"UnknownParameterName",
                  {"render", "{dir}/out.wav", "--set", "wobble=0.5"},
                  kParameter,
                  "no parameter named \"wobble\""},
        ErrorCase{"ParameterIndexOutOfRange",
                  {"render", "{dir}/out.wav", "--set", "15=0.5"},
                  kParameter,
                  "index 15 is out of range"},
        ErrorCase{"HugeParameterIndex",
                  {"render", "{dir}/out.wav", "--set", "99999999999999999999=0.5"},
                  kParameter,
                  "out of range"},
        ErrorCase{"ValueNotANumber",
                  {"render", "{dir}/out.wav", "--set", "cutoff=loud"},
                  kUsage,
                  "is not a number"},
        ErrorCase{"ValueWithTrailingText",
                  {"render", "{dir}/out.wav", "--set", "cutoff=0.5x"},
                  kUsage,
                  "not a number"},
        ErrorCase{"ValueEmpty", {"render", "{dir}/out.wav", "--set", "cutoff="}, kUsage, "is empty"},
        ErrorCase{
            "ValueNaN", {"render", "{dir}/out.wav", "--set", "cutoff=nan"}, kUsage, "not a finite number"},
        ErrorCase{"ValueInfinite",
                  {"render", "{dir}/out.wav", "--set", "cutoff=-inf"},
                  kUsage,
                  "not a finite number"},
        ErrorCase{
            "ValueOverflows", {"render", "{dir}/out.wav", "--set", "cutoff=1e999"}, kUsage, "not a number"},
        ErrorCase{
            "ValueAboveOne", {"render", "{dir}/out.wav", "--set", "cutoff=1.5"}, kUsage, "outside 0..1"},
        ErrorCase{
            "SettingWithoutEquals", {"render", "{dir}/out.wav", "--set", "cutoff"}, kUsage, "NAME=VALUE"},
        ErrorCase{"RateDiffersFromInput",
                  {"render", "{dir}/stereo.wav", "{dir}/out.wav", "--rate", "48000"},
                  kUsage,
                  "does not resample"},
        ErrorCase{"ZeroBlock", {"render", "{dir}/out.wav", "--block", "0"}, kUsage, "--block"},
        ErrorCase{"UnknownOption", {"render", "{dir}/out.wav", "--loud"}, kUsage, "unknown option --loud"},
        ErrorCase{"NoOutput", {"render"}, kUsage, "needs an output file"},
        ErrorCase{"LibraryWithoutMain",
                  {"render", "{dir}/out.wav", "--plugin", "{fixture:nomain}"},
                  kPlugin,
                  "exports no function \"main\""},
        ErrorCase{"MainAnswersNoInstance",
                  {"render", "{dir}/out.wav", "--plugin", "{fixture:noinstance}"},
                  kPlugin,
                  "main answered no instance"},
        ErrorCase{"OneOutput",
                  {"render", "{dir}/out.wav", "--plugin", "{fixture:oneoutput}"},
                  kPlugin,
                  "has 1 outputs; thrummel hosts effects with 2"},
        ErrorCase{"Instrument",
                  {"render", "{dir}/out.wav", "--plugin", "{fixture:instrument}"},
                  kPlugin,
                  "is an instrument, not an effect"},
        ErrorCase{
            "NotALibrary", {"render", "{dir}/out.wav", "--plugin", "{dir}/text.wav"}, kPlugin, "cannot load"},
        ErrorCase{"OutputFolderMissing", {"render", "{dir}/absent/out.wav"}, kOutput, "cannot write"},
        ErrorCase{"OutputIsAFolder", {"render", "{dir}/folder.wav"}, kOutput, "cannot write"},
        ErrorCase{"OutputFolderIsAFile", {"render", "{dir}/text.wav/out.wav"}, kOutput, "cannot write"},
        // Nobody, root included, creates files in /proc.
        ErrorCase{"OutputFolderUnwritable", {"render", "/proc/thrummel-out.wav"}, kOutput, "cannot write"},
        // The file-size limit stops the write a megabyte into the output, as a full disk
        // would; the process must survive it to report it and remove the partial file.
        ErrorCase{
            "OutputStoppedByFileSizeLimit", {"render", "{dir}/out.wav"}, kOutput, "File too large", 1 << 20},
        ErrorCase{
            "ParamsWithUnknownName", {"params", "--set", "wobble=1"}, kParameter, "no parameter named"}),
    [](const ::testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.label); });

// A failing render leaves an existing OUT exactly as it was.
TEST(RenderFailureKeepsOutput, ExistingOutputIsUntouched)
{
    ScratchFolder folder;
    const std::string out = folder.path("out.wav");
    std::ofstream(out) << "the previous render";
    const ToolRun run = runTool({"render", out, "--set", "wobble=0.5"});
    EXPECT_EQ(run.exitCode, kParameter) << run.err;
    EXPECT_EQ(fileBytes(out), "the previous render");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.wav"});
}

// A successful render replaces an existing OUT whole.
TEST(RenderFailureKeepsOutput, SuccessReplacesExistingOutput)
{
    ScratchFolder folder;
    const std::string out = folder.path("out.wav");
    std::ofstream(out) << "the previous render";
    const ToolRun run = runTool({"render", out});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(readSound(out).channels.size(), 2u);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.wav"});
}
} // namespace

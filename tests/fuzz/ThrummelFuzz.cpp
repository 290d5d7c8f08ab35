// The command-line host's two ways in for outside data, fed with the fuzzer's bytes. The
// first byte chooses which:
//   even: the rest is an audio file, read by readAudioFile through an in-memory file;
//   odd:  the rest is a command line, arguments separated by zero bytes, parsed by
//         parseArguments, with each --set name then looked up among the plug-in's names.
// Either ends in a result that keeps the promises checked below or in a ToolError of the
// kinds that path reports. Any other exception, a crash or a sanitizer report is a finding.

#include "tools/thrummel/Arguments.h"
#include "tools/thrummel/AudioFile.h"
#include "tools/thrummel/ParameterLookup.h"
#include "tools/thrummel/ToolError.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace
{
[[noreturn]] void fail(const std::string& what)
{
    std::fprintf(stderr, "thrummel fuzz: %s\n", what.c_str());
    std::abort();
}

// The plug-in's parameter names as thrummel would read them from Thrummelgrinder.
const char* const kParameterNames[] = {
    "Input Gain",
    "PreQuantization",
    "Cutoff",
    "Rezonance",
    "Distortion",
    "Crack Threshold",
    "Noise Level",
    "Quantization",
    "Pre Inversion",
    "Post Inversion",
    "Output Gain",
    "Filter Type",
    "",
    "",
    "",
};
constexpr int kParameterCount = static_cast<int>(sizeof(kParameterNames) / sizeof(kParameterNames[0]));

// One in-memory file for the whole run, reached by a path as a user's file would be.
class MemoryFile
{
public:
    MemoryFile()
        : descriptor(memfd_create("thrummel-fuzz-input", 0))
    {
        if (descriptor < 0)
        {
            fail("no in-memory file");
        }
        path = "/proc/self/fd/" + std::to_string(descriptor);
    }

    const std::string& replace(const std::uint8_t* data, std::size_t size)
    {
        if (ftruncate(descriptor, 0) != 0 ||
            (size > 0 && pwrite(descriptor, data, size, 0) != static_cast<ssize_t>(size)))
        {
            fail("cannot fill the in-memory file");
        }
        return path;
    }

private:
    int descriptor;
    std::string path;
};

void readAudio(const std::uint8_t* data, std::size_t size)
{
    static MemoryFile file;
    const std::string& path = file.replace(data, size);
    AudioFile audio;
    try
    {
        audio = readAudioFile(path);
    }
    catch (const ToolError& error)
    {
        if (error.code() != ExitCode::kInput && error.code() != ExitCode::kFormat)
        {
            fail(std::string("reading answered exit code ") + std::to_string(static_cast<int>(error.code())) +
                 ": " + error.what());
        }
        return;
    }
    // What the render relies on: one or two channels of one length, and a sample rate it can
    // hand the plug-in and the output file.
    const auto& channels = audio.audio.channels;
    if (channels.empty() || channels.size() > 2)
    {
        fail("read " + std::to_string(channels.size()) + " channels");
    }
    if (channels.front().size() != channels.back().size())
    {
        fail("channels of different lengths");
    }
    const double rate = audio.audio.sampleRate;
    if (!(rate >= 1.0 && rate <= 2147483647.0))
    {
        fail("read a sample rate of " + std::to_string(rate));
    }
}

void parseCommandLine(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> arguments(1);
    for (std::size_t i = 0; i < size; ++i)
    {
        if (data[i] == 0)
        {
            arguments.emplace_back();
        }
        else
        {
            arguments.back() += static_cast<char>(data[i]);
        }
    }
    Options options;
    try
    {
        options = parseArguments(arguments);
    }
    catch (const ToolError& error)
    {
        if (error.code() != ExitCode::kUsage)
        {
            fail(std::string("parsing answered exit code ") + std::to_string(static_cast<int>(error.code())));
        }
        return;
    }
    // Every value the parser accepts is one the render can use as it stands.
    if (options.blockSize < 1 || options.blockSize > 65536)
    {
        fail("accepted a block of " + std::to_string(options.blockSize));
    }
    if (options.sampleRate != 0.0 && !(options.sampleRate >= 1000.0 && options.sampleRate <= 768000.0))
    {
        fail("accepted a rate of " + std::to_string(options.sampleRate));
    }
    if (!(options.tailSeconds >= 0.0 && options.tailSeconds <= 3600.0))
    {
        fail("accepted a tail of " + std::to_string(options.tailSeconds));
    }
    for (const ParameterSetting& setting : options.settings)
    {
        if (!(setting.value >= 0.0f && setting.value <= 1.0f))
        {
            fail("accepted a value of " + std::to_string(setting.value));
        }
        try
        {
            const int index = findParameter(
                kParameterCount, [](int i) { return std::string(kParameterNames[i]); }, setting.name);
            if (index < 0 || index >= kParameterCount)
            {
                fail("found parameter " + std::to_string(index));
            }
        }
        catch (const ToolError& error)
        {
            if (error.code() != ExitCode::kParameter)
            {
                fail("looking up answered exit code " + std::to_string(static_cast<int>(error.code())));
            }
        }
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
    {
        return 0;
    }
    if (data[0] % 2 == 0)
    {
        readAudio(data + 1, size - 1);
    }
    else
    {
        parseCommandLine(data + 1, size - 1);
    }
    return 0;
}

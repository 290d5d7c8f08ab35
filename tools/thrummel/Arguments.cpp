#include "tools/thrummel/Arguments.h"

#include "tools/thrummel/ToolError.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace
{
constexpr int kLargestBlock = 65536;
constexpr double kLowestRate = 1000.0;
constexpr double kHighestRate = 768000.0;
constexpr double kLongestTailSeconds = 3600.0;

[[noreturn]] void usageError(const std::string& message)
{
    throw ToolError(ExitCode::kUsage, message + " (thrummel --help shows the usage)");
}

// The whole text must be a finite number: "0.5x", "", "nan" and "inf" are all refused.
double parseNumber(const std::string& text, const std::string& what)
{
    if (text.empty())
    {
        usageError(what + " is empty");
    }
    errno = 0;
    char* end = nullptr;
    const double number = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || errno == ERANGE)
    {
        usageError(what + " \"" + text + "\" is not a number");
    }
    if (!std::isfinite(number))
    {
        usageError(what + " \"" + text + "\" is not a finite number");
    }
    return number;
}

ParameterSetting parseSetting(const std::string& text)
{
    // Names may contain '=' in principle, values never do: split at the last one.
    const std::string::size_type equals = text.rfind('=');
    if (equals == std::string::npos || equals == 0)
    {
        usageError("--set takes NAME=VALUE, not \"" + text + "\"");
    }
    const std::string name = text.substr(0, equals);
    return ParameterSetting{name, parseUnitValue(text.substr(equals + 1), "the value of \"" + name + "\"")};
}

Encoding parseEncoding(const std::string& text)
{
    if (text == "float32")
    {
        return Encoding::kFloat32;
    }
    if (text == "pcm16")
    {
        return Encoding::kPcm16;
    }
    if (text == "pcm24")
    {
        return Encoding::kPcm24;
    }
    usageError("--encoding takes float32, pcm16 or pcm24, not \"" + text + "\"");
}
} // namespace

float parseUnitValue(const std::string& text, const std::string& what)
{
    const double value = parseNumber(text, what);
    if (value < 0.0 || value > 1.0)
    {
        usageError(what + " " + text + " is outside 0..1");
    }
    return static_cast<float>(value);
}

Options parseArguments(const std::vector<std::string>& arguments)
{
    Options options;
    std::vector<std::string> operands;
    bool hasCommand = false;
    for (std::size_t i = 0; i < arguments.size(); ++i)
    {
        const std::string& argument = arguments[i];
        // Options that take a value accept it as the next argument or after '='.
        auto valueOf = [&](const std::string& option) -> std::string
        {
            if (argument.size() > option.size() && argument.compare(0, option.size() + 1, option + "=") == 0)
            {
                return argument.substr(option.size() + 1);
            }
            if (i + 1 >= arguments.size())
            {
                usageError(option + " needs a value");
            }
            return arguments[++i];
        };
        auto is = [&](const std::string& option)
        { return argument == option || argument.compare(0, option.size() + 1, option + "=") == 0; };

        if (argument == "-h" || argument == "--help")
        {
            options.command = Command::kHelp;
            return options;
        }
        if (argument == "-v" || argument == "--verbose")
        {
            options.isVerbose = true;
        }
        else if (is("--plugin"))
        {
            options.pluginPath = valueOf("--plugin");
        }
        else if (is("--set"))
        {
            options.settings.push_back(parseSetting(valueOf("--set")));
        }
        else if (is("--block"))
        {
            const std::string text = valueOf("--block");
            const double block = parseNumber(text, "--block");
            if (block != std::floor(block) || block < 1 || block > kLargestBlock)
            {
                usageError("--block takes a whole number of frames from 1 to " +
                           std::to_string(kLargestBlock) + ", not " + text);
            }
            options.blockSize = static_cast<int>(block);
        }
        else if (is("--rate"))
        {
            const std::string text = valueOf("--rate");
            options.sampleRate = parseNumber(text, "--rate");
            if (options.sampleRate < kLowestRate || options.sampleRate > kHighestRate)
            {
                usageError("--rate " + text + " is outside 1000..768000 Hz");
            }
        }
        else if (is("--tail"))
        {
            const std::string text = valueOf("--tail");
            options.tailSeconds = parseNumber(text, "--tail");
            if (options.tailSeconds < 0.0 || options.tailSeconds > kLongestTailSeconds)
            {
                usageError("--tail " + text + " is outside 0..3600 seconds");
            }
        }
        else if (is("--encoding"))
        {
            options.encoding = parseEncoding(valueOf("--encoding"));
        }
        else if (argument.size() > 1 && argument[0] == '-')
        {
            usageError("unknown option " + argument);
        }
        else if (!hasCommand)
        {
            hasCommand = true;
            if (argument == "render")
            {
                options.command = Command::kRender;
            }
            else if (argument == "params")
            {
                options.command = Command::kParams;
            }
            else if (argument == "help")
            {
                options.command = Command::kHelp;
            }
            else
            {
                usageError("unknown command \"" + argument + "\"");
            }
        }
        else
        {
            operands.push_back(argument);
        }
    }

    if (!hasCommand)
    {
        usageError("no command given");
    }
    if (options.command == Command::kRender)
    {
        if (operands.empty())
        {
            usageError("render needs an output file");
        }
        if (operands.size() > 2)
        {
            usageError("render takes at most an input and an output file");
        }
        options.outputPath = operands.back();
        if (operands.size() == 2)
        {
            options.inputPath = operands.front();
        }
    }
    else if (!operands.empty())
    {
        usageError("unexpected argument \"" + operands.front() + "\"");
    }
    return options;
}

const char* usageText()
{
    return R"(thrummel: a command-line host for VST 2 effect plug-ins

Usage:
  thrummel render [IN] OUT [--set NAME=VALUE]... [--block N] [--rate HZ]
                  [--tail SECONDS] [--encoding float32|pcm16|pcm24]
  thrummel params [--set NAME=VALUE]...
  thrummel --help

Commands:
  render   Process IN (WAV, AIFF or FLAC, mono or stereo) through the plug-in and write
           the stereo result to OUT. Without IN, renders a built-in drum loop (kick,
           snare and hats, four bars at 120 BPM). OUT's extension (.wav, .aif, .aiff,
           .flac) chooses its format; otherwise OUT gets IN's format, or WAV. OUT is
           replaced only when the render succeeds.
  params   Print the plug-in's identity and its parameter table.

Options:
  --plugin PATH      Load this VST 2 library instead of the plug-in built with thrummel.
  --set NAME=VALUE   Set a parameter before processing. NAME is the parameter's name as
                     the plug-in reports it (any case) or its index; VALUE is in 0..1.
  --block N          Frames per processing call (default 512).
  --rate HZ          Sample rate of the drum loop (default 44100). With IN, the rate is
                     IN's; thrummel does not resample.
  --tail SECONDS     Process this much silence after the input (default 0).
  --encoding E       Sample encoding of OUT: float32 (default; FLAC defaults to pcm24),
                     pcm16 or pcm24.
  -v, --verbose      Log the plug-in's automation and edit requests on stderr.

Exit status: 0 success, 1 unexpected failure, 2 bad command line, 3 input missing or
unreadable, 4 unsupported format, 5 unknown parameter, 6 plug-in cannot be loaded or is
not a stereo effect, 7 output cannot be written.
)";
}

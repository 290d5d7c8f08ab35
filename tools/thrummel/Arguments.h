#pragma once

#include <string>
#include <vector>

enum class Command
{
    kHelp,
    kRender,
    kParams,
};

// How the output samples are stored. kDefault is 32-bit float, or 24-bit integers for
// containers that cannot hold floats.
enum class Encoding
{
    kDefault,
    kFloat32,
    kPcm16,
    kPcm24,
};

// One --set: the parameter as the user named it (a name or an index) and its value.
struct ParameterSetting
{
    std::string name;
    float value;
};

struct Options
{
    Command command = Command::kHelp;
    std::string pluginPath; // empty: the plug-in this build made
    bool isVerbose = false;
    std::vector<ParameterSetting> settings;
    std::string inputPath; // empty: the built-in drum loop
    std::string outputPath;
    int blockSize = 512;
    double sampleRate = 0.0; // 0: the input's rate, or 44100 Hz for the drum loop
    double tailSeconds = 0.0;
    Encoding encoding = Encoding::kDefault;
};

// Reads the command line (without the program name). Throws ToolError with ExitCode::kUsage
// for anything it cannot make sense of.
Options parseArguments(const std::vector<std::string>& arguments);

// A value in 0..1 as --set takes it; throws ToolError (kUsage) for text that is not a finite
// number in that range.
float parseUnitValue(const std::string& text, const std::string& what);

const char* usageText();

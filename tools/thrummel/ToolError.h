#pragma once

#include <stdexcept>
#include <string>

// The process exit status for each kind of failure, so that scripts can tell them apart.
enum class ExitCode : int
{
    kSuccess = 0,
    kFailure = 1,   // anything unforeseen
    kUsage = 2,     // the command line: unknown option, missing operand, malformed value
    kInput = 3,     // the input file is missing or cannot be read
    kFormat = 4,    // the input or output format is not one thrummel handles
    kParameter = 5, // a --set names no parameter of the plug-in
    kPlugin = 6,    // the library cannot be loaded or does not behave as an effect
    kOutput = 7,    // the output file cannot be written
};

// A failure reported to the user: a message that stands on its own and an exit status.
class ToolError : public std::runtime_error
{
public:
    ToolError(ExitCode newCode, const std::string& message)
        : std::runtime_error(message)
        , exitCode(newCode)
    {
    }

    ExitCode code() const { return exitCode; }

private:
    ExitCode exitCode;
};

#include "tools/thrummel/Arguments.h"
#include "tools/thrummel/Commands.h"
#include "tools/thrummel/System.h"
#include "tools/thrummel/ToolError.h"

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    letFileSizeLimitFailWrites();
    try
    {
        const Options options = parseArguments(std::vector<std::string>(argv + 1, argv + argc));
        switch (options.command)
        {
        case Command::kRender:
            return runRender(options);
        case Command::kParams:
            return runParams(options);
        case Command::kHelp:
        default:
            std::fputs(usageText(), stdout);
            return static_cast<int>(ExitCode::kSuccess);
        }
    }
    catch (const ToolError& error)
    {
        std::fprintf(stderr, "thrummel: %s\n", error.what());
        return static_cast<int>(error.code());
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "thrummel: unexpected failure: %s\n", error.what());
        return static_cast<int>(ExitCode::kFailure);
    }
}

#include "tools/thrummel/ParameterLookup.h"

#include "tools/thrummel/HostedPlugin.h"
#include "tools/thrummel/ToolError.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace
{
std::string normalised(const std::string& text)
{
    const auto isBlank = [](unsigned char c) { return std::isspace(c) != 0; };
    auto begin = std::find_if_not(text.begin(), text.end(), isBlank);
    auto end = std::find_if_not(text.rbegin(), std::string::const_reverse_iterator(begin), isBlank).base();
    std::string result(begin, end);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

bool isWholeNumber(const std::string& text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}
} // namespace

int findParameter(HostedPlugin& plugin, const std::string& name)
{
    return findParameter(
        plugin.numParams(), [&](int index) { return plugin.paramName(index); }, name);
}

int findParameter(int count, const std::function<std::string(int)>& nameOf, const std::string& name)
{
    if (isWholeNumber(name))
    {
        // Indices longer than any parameter count are out of range, not an overflow.
        const long index = name.size() > 9 ? count : std::stol(name);
        if (index >= count)
        {
            throw ToolError(ExitCode::kParameter, "parameter index " + name +
                                                      " is out of range; the plug-in has " +
                                                      std::to_string(count) + " parameters (0 to " +
                                                      std::to_string(count - 1) + ")");
        }
        return static_cast<int>(index);
    }
    const std::string wanted = normalised(name);
    for (int index = 0; index < count; ++index)
    {
        if (!wanted.empty() && normalised(nameOf(index)) == wanted)
        {
            return index;
        }
    }
    throw ToolError(ExitCode::kParameter,
                    "the plug-in has no parameter named \"" + name + "\" (thrummel params lists them)");
}

void applySettings(HostedPlugin& plugin, const std::vector<ParameterSetting>& settings)
{
    std::vector<std::pair<int, float>> resolved;
    for (const ParameterSetting& setting : settings)
    {
        resolved.emplace_back(findParameter(plugin, setting.name), setting.value);
    }
    for (const auto& [index, value] : resolved)
    {
        plugin.setParameter(index, value);
    }
}

#include "tools/thrummel/Arguments.h"
#include "tools/thrummel/Commands.h"
#include "tools/thrummel/HostedPlugin.h"
#include "tools/thrummel/ParameterLookup.h"
#include "tools/thrummel/ToolError.h"

#include <cctype>
#include <cstdio>
#include <string>

#ifndef THR_DEFAULT_PLUGIN
#define THR_DEFAULT_PLUGIN ""
#endif

namespace
{
const char* categoryName(VstInt32 category)
{
    static const char* const kNames[] = {"unknown",     "effect",      "instrument",  "analysis",
                                         "mastering",   "spatialiser", "room effect", "surround effect",
                                         "restoration", "offline",     "shell",       "generator"};
    if (category < 0 || category >= static_cast<VstInt32>(sizeof(kNames) / sizeof(kNames[0])))
    {
        return "?";
    }
    return kNames[category];
}

// Unique IDs are four characters by custom; show them as such when they print.
std::string uniqueIdText(VstInt32 id)
{
    char text[48];
    std::snprintf(text, sizeof(text), "%ld (0x%08lx)", static_cast<long>(id),
                  static_cast<unsigned long>(static_cast<std::uint32_t>(id)));
    std::string result = text;
    std::string characters;
    for (int shift = 24; shift >= 0; shift -= 8)
    {
        const auto c = static_cast<unsigned char>((static_cast<std::uint32_t>(id) >> shift) & 0xFF);
        if (!std::isprint(c))
        {
            return result;
        }
        characters += static_cast<char>(c);
    }
    return result + " '" + characters + "'";
}

std::string flagsText(VstInt32 flags)
{
    static const struct
    {
        VstInt32 bit;
        const char* name;
    } kFlagNames[] = {{effFlagsHasEditor, "editor"},
                      {effFlagsHasClip, "clip"},
                      {effFlagsHasVu, "vu"},
                      {effFlagsCanMono, "mono"},
                      {effFlagsCanReplacing, "replacing"},
                      {effFlagsProgramChunks, "chunks"},
                      {effFlagsIsSynth, "synth"},
                      {effFlagsNoSoundInStop, "no-sound-in-stop"},
                      {effFlagsExtIsAsync, "async"},
                      {effFlagsExtHasBuffer, "buffer"}};
    char text[16];
    std::snprintf(text, sizeof(text), "0x%x", static_cast<unsigned>(flags));
    std::string names;
    for (const auto& flag : kFlagNames)
    {
        if ((flags & flag.bit) != 0)
        {
            names += names.empty() ? flag.name : std::string(", ") + flag.name;
        }
    }
    return names.empty() ? text : std::string(text) + " (" + names + ")";
}
} // namespace

const char* defaultPluginPath()
{
    return THR_DEFAULT_PLUGIN;
}

int runParams(const Options& options)
{
    HostSettings settings;
    settings.sampleRate = options.sampleRate > 0.0 ? options.sampleRate : 44100.0;
    settings.blockSize = options.blockSize;
    settings.isVerbose = options.isVerbose;
    const std::string pluginPath = options.pluginPath.empty() ? defaultPluginPath() : options.pluginPath;
    HostedPlugin plugin(pluginPath, settings);
    applySettings(plugin, options.settings);

    const PluginIdentity id = plugin.identity();
    std::printf("Plug-in    %s\n", pluginPath.c_str());
    std::printf("Effect     %s\n", id.effectName.c_str());
    std::printf("Vendor     %s\n", id.vendor.c_str());
    std::printf("Product    %s\n", id.product.c_str());
    std::printf("Version    %ld (record version %ld)\n", static_cast<long>(id.vendorVersion),
                static_cast<long>(id.version));
    std::printf("Category   %ld (%s)\n", static_cast<long>(id.category), categoryName(id.category));
    std::printf("Unique ID  %s\n", uniqueIdText(id.uniqueId).c_str());
    std::printf("I/O        %ld in, %ld out\n", static_cast<long>(id.numInputs),
                static_cast<long>(id.numOutputs));
    std::printf("Flags      %s\n", flagsText(id.flags).c_str());
    std::printf("Programs   %ld (current: \"%s\")\n", static_cast<long>(id.numPrograms),
                id.programName.c_str());
    std::printf("\n%5s  %-24s %10s  %-12s %s\n", "Index", "Name", "Value", "Display", "Label");
    for (int index = 0; index < id.numParams; ++index)
    {
        std::printf("%5d  %-24s %10.6f  %-12s %s\n", index, plugin.paramName(index).c_str(),
                    static_cast<double>(plugin.parameter(index)), plugin.paramDisplay(index).c_str(),
                    plugin.paramLabel(index).c_str());
    }
    return static_cast<int>(ExitCode::kSuccess);
}

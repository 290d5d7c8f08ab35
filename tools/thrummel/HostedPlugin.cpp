#include "tools/thrummel/HostedPlugin.h"

#include "tools/thrummel/ToolError.h"

#include <cstdio>
#include <cstring>

namespace
{
// The interface version thrummel speaks, answered to audioMasterVersion.
constexpr VstIntPtr kHostVersion = 2400;
constexpr VstInt32 kLanguageEnglish = 1;
// Answered to audioMasterGetCurrentProcessLevel: thrummel renders offline.
constexpr VstIntPtr kProcessLevelOffline = 4;
constexpr const char* kHostVendor = "Vantorlyx";
constexpr const char* kHostProduct = "thrummel";
constexpr VstIntPtr kHostVendorVersion = 1000;
// Plug-ins write names into the host's buffer; many write more than the customary 8 or 64
// characters, so the buffer is generous and zeroed.
constexpr std::size_t kTextBufferSize = 512;

HostedPlugin* gActivePlugin = nullptr; // the HostedPlugin being constructed or alive; one at a time

// Host strings fit the interface's 64-byte buffers.
constexpr std::size_t kHostStringSize = 64;

VstIntPtr copyText(void* destination, const char* text)
{
    if (!destination)
    {
        return 0;
    }
    const std::size_t capacity = kHostStringSize;
    std::strncpy(static_cast<char*>(destination), text, capacity - 1);
    static_cast<char*>(destination)[capacity - 1] = '\0';
    return 1;
}
} // namespace

HostedPlugin::HostedPlugin(const std::string& path, const HostSettings& newSettings)
    : settings(newSettings)
{
    if (!library.open(path))
    {
        throw ToolError(ExitCode::kPlugin, "cannot load plug-in " + path + ": " + library.errorText());
    }
    auto entry = reinterpret_cast<PluginEntryProc>(library.symbol("main"));
    if (!entry)
    {
        throw ToolError(ExitCode::kPlugin,
                        "plug-in " + path + " exports no function \"main\": not a VST 2 library");
    }

    gActivePlugin = this;
    effect = entry(&HostedPlugin::callback);
    if (!effect)
    {
        gActivePlugin = nullptr;
        throw ToolError(ExitCode::kPlugin, "plug-in " + path + ": main answered no instance");
    }
    if (effect->magic != kEffectMagic)
    {
        // Not a record we can trust with any request, not even effClose.
        effect = nullptr;
        gActivePlugin = nullptr;
        throw ToolError(ExitCode::kPlugin,
                        "plug-in " + path + ": main answered a record without the VST 2 magic");
    }

    std::string fault;
    const VstInt32 category = static_cast<VstInt32>(dispatch(effGetPlugCategory));
    if ((effect->flags & effFlagsIsSynth) != 0 || category == kPlugCategSynth)
    {
        fault = "is an instrument, not an effect";
    }
    else if (effect->numOutputs != 2)
    {
        fault = "has " + std::to_string(effect->numOutputs) + " outputs; thrummel hosts effects with 2";
    }
    else if (effect->numInputs < 1 || effect->numInputs > 2)
    {
        fault = "has " + std::to_string(effect->numInputs) + " inputs; thrummel hosts effects with 1 or 2";
    }
    if (!fault.empty())
    {
        closeEffect();
        throw ToolError(ExitCode::kPlugin, "plug-in " + path + " " + fault);
    }

    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(settings.sampleRate));
    dispatch(effSetBlockSize, 0, settings.blockSize);
}

HostedPlugin::~HostedPlugin()
{
    closeEffect();
}

void HostedPlugin::closeEffect()
{
    if (effect)
    {
        switchOff();
        // The record belongs to the instance, which effClose destroys.
        dispatch(effClose);
        effect = nullptr;
    }
    gActivePlugin = nullptr;
}

VstIntPtr HostedPlugin::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

std::string HostedPlugin::text(VstInt32 opcode, VstInt32 index)
{
    char buffer[kTextBufferSize] = {};
    dispatch(opcode, index, 0, buffer);
    buffer[kTextBufferSize - 1] = '\0';
    return buffer;
}

PluginIdentity HostedPlugin::identity()
{
    PluginIdentity result;
    result.effectName = text(effGetEffectName);
    result.vendor = text(effGetVendorString);
    result.product = text(effGetProductString);
    result.vendorVersion = static_cast<VstInt32>(dispatch(effGetVendorVersion));
    result.category = static_cast<VstInt32>(dispatch(effGetPlugCategory));
    result.uniqueId = effect->uniqueID;
    result.version = effect->version;
    result.numInputs = effect->numInputs;
    result.numOutputs = effect->numOutputs;
    result.flags = effect->flags;
    result.numPrograms = effect->numPrograms;
    result.numParams = effect->numParams;
    result.programName = text(effGetProgramName);
    return result;
}

std::string HostedPlugin::paramName(int index)
{
    return text(effGetParamName, index);
}

std::string HostedPlugin::paramDisplay(int index)
{
    return text(effGetParamDisplay, index);
}

std::string HostedPlugin::paramLabel(int index)
{
    return text(effGetParamLabel, index);
}

float HostedPlugin::parameter(int index)
{
    return effect->getParameter(effect, index);
}

void HostedPlugin::setParameter(int index, float value)
{
    effect->setParameter(effect, index, value);
}

void HostedPlugin::switchOn()
{
    if (!isOn)
    {
        dispatch(effMainsChanged, 0, 1);
        isOn = true;
    }
}

void HostedPlugin::switchOff()
{
    if (isOn)
    {
        dispatch(effMainsChanged, 0, 0);
        isOn = false;
    }
}

void HostedPlugin::process(float** inputs, float** outputs, int frames)
{
    if ((effect->flags & effFlagsCanReplacing) != 0 && effect->processReplacing)
    {
        effect->processReplacing(effect, inputs, outputs, frames);
        return;
    }
    // The accumulating entry adds to what the outputs hold.
    for (int channel = 0; channel < effect->numOutputs; ++channel)
    {
        std::memset(outputs[channel], 0, sizeof(float) * static_cast<std::size_t>(frames));
    }
    effect->process(effect, inputs, outputs, frames);
}

VstIntPtr HostedPlugin::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                 float opt)
{
    if (opcode == audioMasterVersion)
    {
        return kHostVersion;
    }
    HostedPlugin* host = gActivePlugin;
    if (!host)
    {
        return 0;
    }
    (void)effect;
    return host->answer(opcode, index, value, ptr, opt);
}

VstIntPtr HostedPlugin::answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    switch (opcode)
    {
    case audioMasterAutomate:
        if (settings.isVerbose)
        {
            std::fprintf(stderr, "thrummel: plug-in automates parameter %d to %g\n", static_cast<int>(index),
                         static_cast<double>(opt));
        }
        return 0;
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
        if (settings.isVerbose)
        {
            std::fprintf(stderr, "thrummel: plug-in %s editing parameter %d\n",
                         opcode == audioMasterBeginEdit ? "begins" : "ends", static_cast<int>(index));
        }
        return 1;
    case audioMasterCurrentId:
        return effect ? effect->uniqueID : 0;
    case audioMasterPinConnected:
        // 0 means connected: the inputs thrummel feeds and both outputs.
        if (!effect)
        {
            return 0;
        }
        return (value == 0 ? index < effect->numInputs : index < effect->numOutputs) ? 0 : 1;
    case audioMasterGetSampleRate:
        return static_cast<VstIntPtr>(settings.sampleRate);
    case audioMasterGetBlockSize:
        return settings.blockSize;
    case audioMasterGetCurrentProcessLevel:
        return kProcessLevelOffline;
    case audioMasterGetLanguage:
        return kLanguageEnglish;
    case audioMasterGetVendorString:
        return copyText(ptr, kHostVendor);
    case audioMasterGetProductString:
        return copyText(ptr, kHostProduct);
    case audioMasterGetVendorVersion:
        return kHostVendorVersion;
    case audioMasterIdle:
    case audioMasterUpdateDisplay:
    case audioMasterIOChanged:
    case audioMasterGetTime: // no transport: a null time record
    case audioMasterCanDo:   // thrummel offers none of the optional capabilities
    default:
        if (settings.isVerbose && opcode != audioMasterIdle)
        {
            std::fprintf(stderr, "thrummel: plug-in request %d (index %d, value %lld) answered 0\n",
                         static_cast<int>(opcode), static_cast<int>(index), static_cast<long long>(value));
        }
        (void)opt;
        return 0;
    }
}

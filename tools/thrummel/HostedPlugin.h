#pragma once

#include "host/VstAbi.h"
#include "tools/thrummel/System.h"

#include <string>

// What the host tells the plug-in when it asks.
struct HostSettings
{
    double sampleRate = 44100.0;
    int blockSize = 512;
    bool isVerbose = false; // log automation and edit gestures on stderr
};

struct PluginIdentity
{
    std::string effectName;
    std::string vendor;
    std::string product;
    VstInt32 vendorVersion = 0;
    VstInt32 category = 0;
    VstInt32 uniqueId = 0;
    VstInt32 version = 0;
    VstInt32 numInputs = 0;
    VstInt32 numOutputs = 0;
    VstInt32 flags = 0;
    VstInt32 numPrograms = 0;
    VstInt32 numParams = 0;
    std::string programName;
};

// One instance of an effect in a VST 2 library, loaded and opened as a host does: load the
// library, call its "main" with the host callback, check that the record describes an effect
// with two outputs and one or two inputs, then effOpen, effSetSampleRate and effSetBlockSize.
// The destructor switches the effect off if it is on, sends effClose and unloads the library.
//
// The callback is a plain function, so one HostedPlugin at a time is the active one.
// Parameter and text requests come from the thread that created the object; process may run
// on another thread between switchOn and switchOff.
class HostedPlugin
{
public:
    // Throws ToolError (ExitCode::kPlugin) naming what is wrong with the library.
    HostedPlugin(const std::string& path, const HostSettings& settings);
    ~HostedPlugin();
    HostedPlugin(const HostedPlugin&) = delete;
    HostedPlugin& operator=(const HostedPlugin&) = delete;

    PluginIdentity identity();
    int numParams() const { return effect->numParams; }
    int numInputs() const { return effect->numInputs; }
    std::string paramName(int index);
    std::string paramDisplay(int index);
    std::string paramLabel(int index);
    float parameter(int index);
    void setParameter(int index, float value);

    void switchOn();
    void switchOff();
    // Replaces outputs with the processed inputs: numInputs input channels, two outputs.
    void process(float** inputs, float** outputs, int frames);

    // The host callback; answers the requests of the active instance.
    static VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                              float opt);

private:
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);
    std::string text(VstInt32 opcode, VstInt32 index = 0);
    VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    void closeEffect();

    SharedLibrary library;
    HostSettings settings;
    AEffect* effect = nullptr;
    bool isOn = false;
};

#pragma once

#include "host/VstAbi.h"

#include <string>

// The built plug-in library, loaded the way a host loads it (dlopen or LoadLibrary) and
// unloaded when this object goes.
class PluginLibrary
{
public:
    explicit PluginLibrary(const std::string& path);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    bool isLoaded() const { return handle != nullptr; }
    // The exported "main", or null.
    PluginEntryProc entry() const;
    void* symbol(const char* name) const;
    void* nativeHandle() const { return handle; }

    // Where the build put the plug-in library.
    static std::string builtPath();
    // Copies the built library to a fresh file, so that loading the copy gives a module with
    // library-wide state of its own. The caller removes the file.
    static std::string makePrivateCopy(const std::string& tag);

private:
    void* handle;
};

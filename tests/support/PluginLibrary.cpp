#include "tests/support/PluginLibrary.h"

#include <fstream>
#include <iterator>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#ifndef THR_PLUGIN_FILE
#define THR_PLUGIN_FILE ""
#endif

PluginLibrary::PluginLibrary(const std::string& path)
#if defined(_WIN32)
    : handle(LoadLibraryA(path.c_str()))
#else
    : handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
#endif
{
}

PluginLibrary::~PluginLibrary()
{
    if (!handle)
    {
        return;
    }
#if defined(_WIN32)
    FreeLibrary(static_cast<HMODULE>(handle));
#else
    dlclose(handle);
#endif
}

void* PluginLibrary::symbol(const char* name) const
{
    if (!handle)
    {
        return nullptr;
    }
#if defined(_WIN32)
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
#else
    return dlsym(handle, name);
#endif
}

PluginEntryProc PluginLibrary::entry() const
{
    return reinterpret_cast<PluginEntryProc>(symbol("main"));
}

std::string PluginLibrary::builtPath()
{
    return THR_PLUGIN_FILE;
}

std::string PluginLibrary::makePrivateCopy(const std::string& tag)
{
    const std::string source = builtPath();
    const std::string::size_type dot = source.rfind('.');
    const std::string copy = source.substr(0, dot) + "-" + tag + source.substr(dot);
    std::ifstream in(source, std::ios::binary);
    std::ofstream out(copy, std::ios::binary | std::ios::trunc);
    out << in.rdbuf();
    return copy;
}

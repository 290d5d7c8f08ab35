// The library's only export. Kept out of the static libraries so that test programs, which
// have a main of their own, can link everything else.

#include "host/PluginModule.h"

#if defined(_WIN32)

// The system's load notification; it only remembers the module handle. Declared without
// the system headers: the signature is plain integers and pointers.
extern "C" __attribute__((stdcall)) int DllMain(void* instance, unsigned long, void*)
{
    setModuleInstance(instance);
    return 1;
}

// Exported as "main" by the module definition file.
extern "C" AEffect* exportedMain(audioMasterCallback audioMaster)
{
    return pluginMain(audioMaster);
}

#else

#include <dlfcn.h>

namespace
{
// The load-time equivalent of DllMain: remember where this library was loaded.
__attribute__((constructor)) void rememberModule()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&rememberModule), &info) != 0)
    {
        setModuleInstance(info.dli_fbase);
    }
}
} // namespace

// C++ reserves the name main for programs, so the symbol is named through the assembler.
extern "C" __attribute__((visibility("default"))) AEffect*
exportedMain(audioMasterCallback audioMaster) __asm__("main");

AEffect* exportedMain(audioMasterCallback audioMaster)
{
    return pluginMain(audioMaster);
}

#endif

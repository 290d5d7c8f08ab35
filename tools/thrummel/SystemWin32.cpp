#include "tools/thrummel/System.h"

#include <io.h>
#include <stdio.h>

#include <windows.h>

SharedLibrary::~SharedLibrary()
{
    close();
}

bool SharedLibrary::open(const std::string& path)
{
    close();
    handle = LoadLibraryA(path.c_str());
    if (!handle)
    {
        lastError = "LoadLibrary failed with error " + std::to_string(GetLastError());
    }
    return handle != nullptr;
}

void SharedLibrary::close()
{
    if (handle)
    {
        FreeLibrary(static_cast<HMODULE>(handle));
        handle = nullptr;
    }
}

void* SharedLibrary::symbol(const char* name) const
{
    return handle ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name)) : nullptr;
}

bool isStderrTerminal()
{
    return _isatty(_fileno(stderr)) != 0;
}

void letFileSizeLimitFailWrites()
{
    // Windows has no file-size limit that signals: a failed write already returns an error.
}

#include "tools/thrummel/System.h"

#include <csignal>
#include <dlfcn.h>
#include <unistd.h>

SharedLibrary::~SharedLibrary()
{
    close();
}

bool SharedLibrary::open(const std::string& path)
{
    close();
    // A bare file name would make dlopen search the library path instead of the current
    // folder, which is never what a user of --plugin means.
    const std::string located = path.find('/') == std::string::npos ? "./" + path : path;
    handle = dlopen(located.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
    {
        const char* reason = dlerror();
        lastError = reason ? reason : "unknown reason";
    }
    return handle != nullptr;
}

void SharedLibrary::close()
{
    if (handle)
    {
        dlclose(handle);
        handle = nullptr;
    }
}

void* SharedLibrary::symbol(const char* name) const
{
    return handle ? dlsym(handle, name) : nullptr;
}

bool isStderrTerminal()
{
    return isatty(STDERR_FILENO) == 1;
}

void letFileSizeLimitFailWrites()
{
    // With the signal ignored, the write that crosses the limit returns EFBIG.
    std::signal(SIGXFSZ, SIG_IGN);
}

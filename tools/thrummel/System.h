#pragma once

#include <string>

// What thrummel needs from the operating system: loading a shared library the way a
// plug-in host does, and knowing whether stderr is a terminal.
class SharedLibrary
{
public:
    SharedLibrary() = default;
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // Loads the library with all its symbols resolved now; on failure errorText() says why.
    bool open(const std::string& path);
    void close();
    bool isLoaded() const { return handle != nullptr; }
    // The address of an exported function, or null.
    void* symbol(const char* name) const;
    const std::string& errorText() const { return lastError; }

private:
    void* handle = nullptr;
    std::string lastError;
};

bool isStderrTerminal();

#pragma once

#include <string>

// What thrummel needs from the operating system: loading a shared library the way a
// plug-in host does, knowing whether stderr is a terminal, and how writes fail.
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

// Makes a write beyond the process's file-size limit fail like a full disk, with an error
// the output code reports and cleans up after, instead of ending the process and leaving a
// partial file behind.
void letFileSizeLimitFailWrites();

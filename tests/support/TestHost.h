#pragma once

#include "host/VstAbi.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

// One request the plug-in made of its host.
struct HostRequest
{
    AEffect* effect;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    float opt;
};

// A host for tests: answers the plug-in's callback and records every request. The callback
// is a plain function, so one TestHost at a time is the active one; constructing a second
// while one lives is a mistake in the test. Requests may arrive from any thread.
class TestHost
{
public:
    TestHost();
    ~TestHost();
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    static VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                              float opt);

    std::vector<HostRequest> requests() const;
    std::vector<HostRequest> requestsWith(VstInt32 opcode) const;
    void clearRequests();

    // What the host answers to audioMasterVersion; 0 refuses every instance.
    VstIntPtr versionAnswer = 2400;
    // Answers every other request; unset, the host answers 0.
    std::function<VstIntPtr(const HostRequest&)> answer;

private:
    mutable std::mutex mutex;
    std::vector<HostRequest> recorded;
};

// Where a test gets the plug-in's entry from.
enum class EntrySource
{
    InProcess, // pluginMain, linked into the test program
    Library    // "main" of the built plug-in library, loaded as a host loads it
};

class PluginLibrary;

std::string toString(EntrySource source);
// The built plug-in library, loaded once for the whole test program.
PluginLibrary& builtLibrary();
PluginEntryProc entryFor(EntrySource source);

// One instance, opened through an entry with the active TestHost and closed with effClose
// when it goes out of scope (unless the test closed it already).
class PluginInstance
{
public:
    explicit PluginInstance(PluginEntryProc entry);
    // Takes over a record that an entry answered elsewhere (possibly on another thread).
    explicit PluginInstance(AEffect* record);
    ~PluginInstance();
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    AEffect* get() const { return effect; }
    AEffect* operator->() const { return effect; }
    explicit operator bool() const { return effect != nullptr; }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);
    // Sends effClose and forgets the record, which no longer exists afterwards.
    VstIntPtr close();
    std::string text(VstInt32 opcode, VstInt32 index = 0);

protected:
    AEffect* effect;
};

#include "tests/support/TestHost.h"

#include "host/PluginModule.h"
#include "tests/support/PluginLibrary.h"

#include <cstring>
#include <gtest/gtest.h>

namespace
{
TestHost* gActiveHost = nullptr; // owned by the test that constructed it
} // namespace

TestHost::TestHost()
{
    // Recording must not allocate while a test counts the plug-in's allocations.
    recorded.reserve(4096);
    EXPECT_EQ(gActiveHost, nullptr) << "only one TestHost may be active at a time";
    gActiveHost = this;
}

TestHost::~TestHost()
{
    gActiveHost = nullptr;
}

VstIntPtr TestHost::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                             float opt)
{
    TestHost* host = gActiveHost;
    if (!host)
    {
        return 0;
    }
    const HostRequest request{effect, opcode, index, value, ptr, opt};
    {
        std::lock_guard<std::mutex> lock(host->mutex);
        host->recorded.push_back(request);
    }
    if (opcode == audioMasterVersion)
    {
        return host->versionAnswer;
    }
    return host->answer ? host->answer(request) : 0;
}

std::vector<HostRequest> TestHost::requests() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return recorded;
}

std::vector<HostRequest> TestHost::requestsWith(VstInt32 opcode) const
{
    std::vector<HostRequest> matching;
    for (const HostRequest& request : requests())
    {
        if (request.opcode == opcode)
        {
            matching.push_back(request);
        }
    }
    return matching;
}

void TestHost::clearRequests()
{
    std::lock_guard<std::mutex> lock(mutex);
    recorded.clear();
}

std::string toString(EntrySource source)
{
    return source == EntrySource::InProcess ? "InProcess" : "Library";
}

PluginLibrary& builtLibrary()
{
    static PluginLibrary library(PluginLibrary::builtPath());
    return library;
}

PluginEntryProc entryFor(EntrySource source)
{
    return source == EntrySource::InProcess ? pluginMain : builtLibrary().entry();
}

PluginInstance::PluginInstance(PluginEntryProc entry)
    : effect(entry ? entry(TestHost::callback) : nullptr)
{
}

PluginInstance::PluginInstance(AEffect* record)
    : effect(record)
{
}

PluginInstance::~PluginInstance()
{
    close();
}

VstIntPtr PluginInstance::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

VstIntPtr PluginInstance::close()
{
    if (!effect)
    {
        return 0;
    }
    const VstIntPtr result = dispatch(effClose);
    effect = nullptr;
    return result;
}

std::string PluginInstance::text(VstInt32 opcode, VstInt32 index)
{
    // Hosts pass generous buffers; the fill shows how much the plug-in wrote.
    char buffer[256];
    std::memset(buffer, 0, sizeof(buffer));
    dispatch(opcode, index, 0, buffer);
    return buffer;
}

#include "host/PluginModule.h"

#include "effect/CrusherEffect.h"

#include <atomic>
#include <new>

namespace
{
// Written by the system's load notification before any instance exists; read by the
// resource loader and the window-class code.
std::atomic<void*> moduleInstance{nullptr};
// Written by an effect constructor that could not create its editor, read by pluginMain.
std::atomic<bool> outOfMemory{false};
} // namespace

void* getModuleInstance()
{
    return moduleInstance.load(std::memory_order_relaxed);
}

void setModuleInstance(void* instance)
{
    moduleInstance.store(instance, std::memory_order_relaxed);
}

bool isOutOfMemory()
{
    return outOfMemory.load(std::memory_order_relaxed);
}

void setOutOfMemory()
{
    outOfMemory.store(true, std::memory_order_relaxed);
}

AEffect* pluginMain(audioMasterCallback audioMaster)
{
    if (!audioMaster || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
    {
        return nullptr;
    }
    try
    {
        auto* effect = new (std::nothrow) CrusherEffect(audioMaster);
        if (!effect)
        {
            return nullptr;
        }
        if (isOutOfMemory())
        {
            delete effect;
            return nullptr;
        }
        return effect->getRecord();
    }
    catch (...)
    {
        return nullptr;
    }
}

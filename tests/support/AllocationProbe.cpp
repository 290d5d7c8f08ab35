#include "tests/support/AllocationProbe.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace
{
std::atomic<long> gLive{0}; // blocks held; shared by every thread of the test program
std::atomic<long> gAllocations{0};
std::atomic<long> gFailCountdown{0};

bool shouldFail()
{
    long remaining = gFailCountdown.load();
    while (remaining > 0)
    {
        if (gFailCountdown.compare_exchange_weak(remaining, remaining - 1))
        {
            return remaining == 1;
        }
    }
    return false;
}

void* countedAlloc(std::size_t size)
{
    gAllocations.fetch_add(1);
    if (shouldFail())
    {
        return nullptr;
    }
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block)
    {
        gLive.fetch_add(1);
    }
    return block;
}

void countedFree(void* block)
{
    if (block)
    {
        gLive.fetch_sub(1);
        std::free(block);
    }
}

#if defined(_WIN32)
void* __cdecl hookedMalloc(std::size_t size)
{
    return countedAlloc(size);
}

void* __cdecl hookedCalloc(std::size_t count, std::size_t size)
{
    void* block = countedAlloc(count * size);
    if (block)
    {
        std::memset(block, 0, count * size);
    }
    return block;
}

void __cdecl hookedFree(void* block)
{
    countedFree(block);
}

// Points one entry of a module's import table at a replacement.
void redirectImport(HMODULE module, const char* function, void* replacement)
{
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0)
    {
        return;
    }
    for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         import->Name != 0; ++import)
    {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots)
        {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
            {
                continue;
            }
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0)
            {
                continue;
            }
            DWORD oldProtection = 0;
            VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE, &oldProtection);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), oldProtection, &oldProtection);
        }
    }
}
#endif
} // namespace

void AllocationProbe::watch(void* moduleHandle)
{
#if defined(_WIN32)
    auto* module = static_cast<HMODULE>(moduleHandle);
    redirectImport(module, "malloc", reinterpret_cast<void*>(&hookedMalloc));
    redirectImport(module, "calloc", reinterpret_cast<void*>(&hookedCalloc));
    redirectImport(module, "free", reinterpret_cast<void*>(&hookedFree));
#else
    (void)moduleHandle;
#endif
}

long AllocationProbe::liveBlocks()
{
    return gLive.load();
}

long AllocationProbe::allocationCount()
{
    return gAllocations.load();
}

void AllocationProbe::failNth(long n)
{
    gFailCountdown.store(n);
}

// Replacements of the global allocation functions. Exported, so that a plug-in library
// loaded into the test program binds to them too.
#define THR_EXPORTED __attribute__((visibility("default")))

THR_EXPORTED void* operator new(std::size_t size)
{
    if (void* block = countedAlloc(size))
    {
        return block;
    }
    throw std::bad_alloc();
}

THR_EXPORTED void* operator new[](std::size_t size)
{
    return operator new(size);
}

THR_EXPORTED void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return countedAlloc(size);
}

THR_EXPORTED void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return countedAlloc(size);
}

THR_EXPORTED void operator delete(void* block) noexcept
{
    countedFree(block);
}

THR_EXPORTED void operator delete[](void* block) noexcept
{
    countedFree(block);
}

THR_EXPORTED void operator delete(void* block, std::size_t) noexcept
{
    countedFree(block);
}

THR_EXPORTED void operator delete[](void* block, std::size_t) noexcept
{
    countedFree(block);
}

THR_EXPORTED void operator delete(void* block, const std::nothrow_t&) noexcept
{
    countedFree(block);
}

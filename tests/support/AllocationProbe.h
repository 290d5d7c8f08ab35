#pragma once

#include <cstddef>

// Counts the heap blocks the code under test holds, and can make one allocation fail.
//
// It sees the test program's own allocations (operator new and delete are replaced in
// AllocationProbe.cpp) and, once watch() is called for a loaded plug-in library, that
// library's too: on Linux the library binds to the program's replacements; a Windows DLL
// carries its own runtime, so watch() redirects the DLL's imported malloc and free.
namespace AllocationProbe
{
void watch(void* moduleHandle);

// Blocks allocated and not yet freed since the program started.
long liveBlocks();
// Allocations made since the program started.
long allocationCount();

// Makes the n-th allocation from now (1 = the next) fail; 0 disarms.
void failNth(long n);
} // namespace AllocationProbe

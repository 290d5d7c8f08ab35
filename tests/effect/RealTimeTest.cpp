// The processing path's real-time promises: no allocation and an untouched floating-point
// control state. This program counts every operator new (and, with the GNU C library outside
// sanitizer builds, every malloc) of the process; the test program exports them, so the
// loaded library's calls are counted too wherever the platform binds them to the program's
// definitions.
#include "tests/effect/ChainRig.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>
#include <new>
#include <thread>
#include <xmmintrin.h>

namespace
{
std::atomic<bool> isCounting{false};
std::atomic<long> allocationCount{0};

void noteAllocation()
{
    if (isCounting.load(std::memory_order_relaxed))
    {
        allocationCount.fetch_add(1, std::memory_order_relaxed);
    }
}
} // namespace

void* operator new(std::size_t size)
{
    noteAllocation();
    if (void* p = std::malloc(size == 0 ? 1 : size))
    {
        return p;
    }
    throw std::bad_alloc();
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    noteAllocation();
    return std::malloc(size == 0 ? 1 : size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return operator new(size, std::nothrow);
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete[](void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

// A sanitizer runtime supplies malloc itself and must see every block it later frees, so
// sanitizer builds count operator new only.
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
extern "C"
{
    void* __libc_malloc(std::size_t size);
    void* __libc_calloc(std::size_t count, std::size_t size);
    void* __libc_realloc(void* p, std::size_t size);

    void* malloc(std::size_t size)
    {
        noteAllocation();
        return __libc_malloc(size);
    }

    void* calloc(std::size_t count, std::size_t size)
    {
        noteAllocation();
        return __libc_calloc(count, size);
    }

    void* realloc(void* p, std::size_t size)
    {
        noteAllocation();
        return __libc_realloc(p, size);
    }
}
#endif

namespace
{
std::uint32_t mxcsr()
{
    return _mm_getcsr();
}

std::uint16_t x87ControlWord()
{
    std::uint16_t word = 0;
    __asm__ __volatile__("fnstcw %0" : "=m"(word));
    return word;
}

class RealTimeTest : public ::testing::TestWithParam<EntrySource>
{
protected:
    TestHost host;
};

// Every filter mode, with noise, both quantisers, crack, inversions and a run-away case,
// through both entries: nothing is allocated and the control state stays as it was.
TEST_P(RealTimeTest, ProcessingAllocatesNothingAndKeepsTheControlState)
{
    const EntrySource source = GetParam();
    std::thread thread(
        [source]
        {
            ChainRig rig(source);
            ASSERT_TRUE(rig.isOpen());
            rig.set(kNoiseLevel, 1.0f);
            rig.set(kPreQuantization, 0.5f);
            rig.set(kQuantization, 0.5f);
            rig.set(kCrackThreshold, 0.2f);
            rig.set(kPreInversion, 1.0f);
            rig.set(kPostInversion, 1.0f);
            rig.set(kResonance, 1.0f);
            rig.set(kCutoff, 0.01f);
            StereoBlock input = constantBlock(512, 0.9f, -0.9f);
            StereoBlock output = constantBlock(512, 0.0f, 0.0f);
            float* ins[2] = {input.left.data(), input.right.data()};
            float* outs[2] = {output.left.data(), output.right.data()};
            // A first block lets the thread's noise state come into being.
            rig.effect()->processReplacing(rig.effect(), ins, outs, 512);

            const std::uint32_t mxcsrBefore = mxcsr();
            const std::uint16_t controlWordBefore = x87ControlWord();
            isCounting = true;
            for (const float filterType : {0.0f, 0.4f, 0.6f, 0.9f})
            {
                rig.set(kFilterType, filterType);
                rig.effect()->processReplacing(rig.effect(), ins, outs, 512);
                rig.effect()->process(rig.effect(), ins, outs, 512);
            }
            isCounting = false;
            EXPECT_EQ(allocationCount.load(), 0);
            EXPECT_EQ(mxcsr(), mxcsrBefore);
            EXPECT_EQ(x87ControlWord(), controlWordBefore);
        });
    thread.join();
}

// The counter itself works: without it the test above could not fail.
TEST(AllocationCounter, CountsAnAllocation)
{
    allocationCount = 0;
    isCounting = true;
    int* volatile allocated = new int(3);
    delete allocated;
    isCounting = false;
    EXPECT_GE(allocationCount.load(), 1);
    allocationCount = 0;
}

INSTANTIATE_TEST_SUITE_P(Entries, RealTimeTest,
                         ::testing::Values(EntrySource::InProcess, EntrySource::Library),
                         [](const ::testing::TestParamInfo<EntrySource>& info)
                         { return toString(info.param); });
} // namespace

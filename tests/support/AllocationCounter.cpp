// Replacement of the global operator new and delete that counts blocks and the bytes they hold
// and, on request, fails. Every module's allocations come here: the program's definitions take
// over the runtime's.
#include "support/AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {

std::atomic<std::size_t> g_Allocations{0};
std::atomic<std::ptrdiff_t> g_Live{0};
std::atomic<std::ptrdiff_t> g_Bytes{0};
std::atomic<std::ptrdiff_t> g_PeakBytes{0};
std::atomic<std::size_t> g_FailCountdown{0};

// Blocks are plain malloc blocks, sized by the allocator, without a header of our own: on
// Windows a DLL (the C++ runtime's) frees with its own operator delete what this program's
// operator new allocated, so both must hand the C library exactly what it handed out.
std::size_t BlockSize(void* block)
{
#if defined(_WIN32)
    return _msize(block);
#else
    return malloc_usable_size(block);
#endif
}

void* Allocate(std::size_t size)
{
    std::size_t countdown = g_FailCountdown.load();
    while (countdown != 0 && !g_FailCountdown.compare_exchange_weak(countdown, countdown - 1))
    {
    }
    void* const block = countdown == 1 ? nullptr : std::malloc(size == 0 ? 1 : size);
    if (block == nullptr)
    {
        throw std::bad_alloc();
    }
    ++g_Allocations;
    ++g_Live;
    const std::ptrdiff_t bytes = g_Bytes += static_cast<std::ptrdiff_t>(BlockSize(block));
    std::ptrdiff_t peak = g_PeakBytes.load();
    while (bytes > peak && !g_PeakBytes.compare_exchange_weak(peak, bytes))
    {
    }
    return block;
}

void Release(void* pointer) noexcept
{
    if (pointer != nullptr)
    {
        --g_Live;
        g_Bytes -= static_cast<std::ptrdiff_t>(BlockSize(pointer));
        std::free(pointer);
    }
}

} // namespace

namespace Tolvane::Testing {

std::size_t AllocationCount()
{
    return g_Allocations.load();
}

std::ptrdiff_t LiveAllocationCount()
{
    return g_Live.load();
}

void FailAllocationAfter(std::size_t n)
{
    g_FailCountdown.store(n);
}

AllocationScope::AllocationScope() : m_Start(AllocationCount()), m_StartBytes(g_Bytes.load())
{
    g_PeakBytes.store(m_StartBytes);
}

std::size_t AllocationScope::PeakBytes() const
{
    return static_cast<std::size_t>(g_PeakBytes.load() - m_StartBytes);
}

} // namespace Tolvane::Testing

// The runtime's other unaligned forms (arrays, nothrow) forward to these.
void* operator new(std::size_t size)
{
    return Allocate(size);
}

void operator delete(void* block) noexcept
{
    Release(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    Release(block);
}

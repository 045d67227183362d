// Replacement of the global operator new and delete that counts blocks and the bytes they hold
// and, on request, fails. Every module's allocations come here: the program's definitions take
// over the runtime's.
#include "support/AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> g_Allocations{0};
std::atomic<std::ptrdiff_t> g_Live{0};
std::atomic<std::ptrdiff_t> g_Bytes{0};
std::atomic<std::ptrdiff_t> g_PeakBytes{0};
std::atomic<std::size_t> g_FailCountdown{0};

// Each block starts with its requested size, in a header that keeps malloc's alignment.
constexpr std::size_t Header = alignof(std::max_align_t);

void* Allocate(std::size_t size)
{
    std::size_t countdown = g_FailCountdown.load();
    while (countdown != 0 && !g_FailCountdown.compare_exchange_weak(countdown, countdown - 1))
    {
    }
    auto* const block =
        static_cast<unsigned char*>(countdown == 1 ? nullptr : std::malloc(size + Header));
    if (block == nullptr)
    {
        throw std::bad_alloc();
    }
    *reinterpret_cast<std::size_t*>(block) = size;
    ++g_Allocations;
    ++g_Live;
    const std::ptrdiff_t bytes = g_Bytes += static_cast<std::ptrdiff_t>(size);
    std::ptrdiff_t peak = g_PeakBytes.load();
    while (bytes > peak && !g_PeakBytes.compare_exchange_weak(peak, bytes))
    {
    }
    return block + Header;
}

void Release(void* pointer) noexcept
{
    if (pointer != nullptr)
    {
        auto* const block = static_cast<unsigned char*>(pointer) - Header;
        --g_Live;
        g_Bytes -= static_cast<std::ptrdiff_t>(*reinterpret_cast<std::size_t*>(block));
        std::free(block);
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

std::ptrdiff_t RestartPeakBytes()
{
    const std::ptrdiff_t bytes = g_Bytes.load();
    g_PeakBytes.store(bytes);
    return bytes;
}

std::ptrdiff_t PeakBytes()
{
    return g_PeakBytes.load();
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

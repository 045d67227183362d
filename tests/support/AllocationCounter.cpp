// Replacement of the global allocation functions that counts and, on request, fails.
#include "support/AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> g_Allocations{0};
std::atomic<std::ptrdiff_t> g_Live{0};
std::atomic<std::size_t> g_FailCountdown{0};

void* Allocate(std::size_t size)
{
    std::size_t countdown = g_FailCountdown.load();
    while (countdown != 0)
    {
        if (g_FailCountdown.compare_exchange_weak(countdown, countdown - 1))
        {
            if (countdown == 1)
            {
                throw std::bad_alloc();
            }
            break;
        }
    }
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr)
    {
        throw std::bad_alloc();
    }
    ++g_Allocations;
    ++g_Live;
    return block;
}

void Release(void* block) noexcept
{
    if (block != nullptr)
    {
        --g_Live;
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

} // namespace Tolvane::Testing

void* operator new(std::size_t size)
{
    return Allocate(size);
}

void* operator new[](std::size_t size)
{
    return Allocate(size);
}

void operator delete(void* block) noexcept
{
    Release(block);
}

void operator delete[](void* block) noexcept
{
    Release(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    Release(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    Release(block);
}

// Replacement of the global operator new and delete that counts blocks and bytes held. The
// library's allocations come here too: the program's definitions take over every module's.
#include "common/AllocationCounter.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> g_Counting{false};
std::atomic<std::size_t> g_Allocations{0};
std::atomic<std::ptrdiff_t> g_Held{0};
std::atomic<std::ptrdiff_t> g_Peak{0};

// Each block starts with its requested size, in a header that keeps malloc's alignment.
constexpr std::size_t sc_Header = alignof(std::max_align_t);

void* Allocate(std::size_t size)
{
    auto* const block = static_cast<unsigned char*>(std::malloc(size + sc_Header));
    if (block == nullptr)
    {
        throw std::bad_alloc();
    }
    *reinterpret_cast<std::size_t*>(block) = size;
    if (g_Counting.load(std::memory_order_relaxed))
    {
        ++g_Allocations;
        const std::ptrdiff_t held = g_Held += static_cast<std::ptrdiff_t>(size);
        std::ptrdiff_t peak = g_Peak.load();
        while (held > peak && !g_Peak.compare_exchange_weak(peak, held))
        {
        }
    }
    return block + sc_Header;
}

void Release(void* pointer) noexcept
{
    if (pointer == nullptr)
    {
        return;
    }
    auto* const block = static_cast<unsigned char*>(pointer) - sc_Header;
    if (g_Counting.load(std::memory_order_relaxed))
    {
        g_Held -= static_cast<std::ptrdiff_t>(*reinterpret_cast<std::size_t*>(block));
    }
    std::free(block);
}

void* AllocateOrNull(std::size_t size) noexcept
{
    try
    {
        return Allocate(size);
    }
    catch (const std::bad_alloc&)
    {
        return nullptr;
    }
}

} // namespace

namespace Tolvane::Bench {

void StartCountingAllocations()
{
    g_Allocations = 0;
    g_Held = 0;
    g_Peak = 0;
    g_Counting = true;
}

AllocationCount StopCountingAllocations()
{
    g_Counting = false;
    return AllocationCount{g_Allocations.load(), static_cast<std::size_t>(g_Peak.load())};
}

} // namespace Tolvane::Bench

// Every unaligned form that the runtime does not forward to these is replaced, so that no
// block with a header reaches a plain free().
void* operator new(std::size_t size)
{
    return Allocate(size);
}

void* operator new[](std::size_t size)
{
    return Allocate(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return AllocateOrNull(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return AllocateOrNull(size);
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

void operator delete(void* block, const std::nothrow_t&) noexcept
{
    Release(block);
}

void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    Release(block);
}

// Counts the program's heap allocations and the bytes they hold (the global operator new is
// replaced), and can make the n-th allocation from now fail with std::bad_alloc. The tests and
// the benchmarks share it.
#pragma once

#include <cstddef>

namespace Tolvane::Testing {

// Allocations made through operator new since the program started, and those still live.
std::size_t AllocationCount();
std::ptrdiff_t LiveAllocationCount();

// The `n`-th allocation from now (1 for the next) throws std::bad_alloc; 0 turns that off.
void FailAllocationAfter(std::size_t n);

// Counts the allocations made while it lives, and the most bytes held at once above the start.
class AllocationScope
{
public:
    AllocationScope();
    std::size_t Count() const { return AllocationCount() - m_Start; }
    std::size_t PeakBytes() const;

private:
    std::size_t m_Start;
    std::ptrdiff_t m_StartBytes;
};

} // namespace Tolvane::Testing

// Counts the test program's heap allocations (the global operator new is replaced), and can
// make the n-th allocation from now fail with std::bad_alloc.
#pragma once

#include <cstddef>

namespace Tolvane::Testing {

// Allocations made through operator new since the program started, and those still live.
std::size_t AllocationCount();
std::ptrdiff_t LiveAllocationCount();

// The `n`-th allocation from now (1 for the next) throws std::bad_alloc; 0 turns that off.
void FailAllocationAfter(std::size_t n);

// Counts the allocations made while it lives.
class AllocationScope
{
public:
    AllocationScope() : m_Start(AllocationCount()) {}
    std::size_t Count() const { return AllocationCount() - m_Start; }

private:
    std::size_t m_Start;
};

} // namespace Tolvane::Testing

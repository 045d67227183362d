// Counts the program's operator new calls and the peak of the bytes they hold.
#pragma once

#include <cstddef>

namespace Tolvane::Bench {

struct AllocationCount
{
    std::size_t Allocations; // operator new calls
    std::size_t PeakBytes;   // the most bytes held at once above the level at the start
};

// Counts from now until Stop(): one scope at a time, on one thread.
void StartCountingAllocations();
AllocationCount StopCountingAllocations();

} // namespace Tolvane::Bench

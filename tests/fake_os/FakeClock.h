// Fake backend: a tick counter that tests move (and that wraps), a Sleep that records its
// arguments and moves the counter, and scripted system and calendar times.
#pragma once

#include "os/Clock.h"

#include <vector>

namespace Tolvane::Util::Os::Fake {

struct ClockScript
{
    // What GetTickCount answers now; Sleep and AdvanceTickCount move it, wrapping at 2^32.
    std::uint32_t tickCount = 0;
    // How far the next Sleep falls short of advancing the counter by its whole argument (a
    // sleep that ends before the tick counter has caught up), capped at the argument. Only
    // that one Sleep falls short; the value then returns to 0.
    std::uint32_t nextSleepShortfall = 0;
    FileTime fileTime{0, 0};
    std::int64_t time = 0;
};

// The clock operations in the order the library called them.
enum class ClockCall
{
    GetTickCount,
    Sleep,
    GetSystemTimeAsFileTime,
    Time
};

ClockScript& Clock();
void AdvanceTickCount(std::uint32_t milliseconds);
const std::vector<ClockCall>& ClockCalls();
// The argument of each Sleep.
const std::vector<std::uint32_t>& Sleeps();
std::size_t TickCountReads();
void ResetClock();

} // namespace Tolvane::Util::Os::Fake

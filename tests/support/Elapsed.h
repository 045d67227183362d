// Wall-clock time for the native tests, and how coarse the system's tick counter may be.
#pragma once

#include <chrono>

namespace Tolvane::Testing {

// Windows' tick counter (and Wine's) may advance in steps of about 16 ms, so a clock can see a
// timeout run out up to one step before the real time has passed.
constexpr long long TickStepMs = 16;

inline long long MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    const auto elapsed = std::chrono::steady_clock::now() - start;
    return std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
}

} // namespace Tolvane::Testing

// AbstractTimeoutClock: the bound on a single sleep, and waiting a clock out in such sleeps.
#include <Tolvane/Util/TimeoutClock.h>

#include "os/Clock.h"

namespace Tolvane::Util {

// Defined here so that the constant has an address in the library's export table.
const std::uint64_t AbstractTimeoutClock::sc_MaximumSafeWaitDuration;

AbstractTimeoutClock::AbstractTimeoutClock() = default;

AbstractTimeoutClock::AbstractTimeoutClock(const AbstractTimeoutClock& /*other*/) = default;

AbstractTimeoutClock&
AbstractTimeoutClock::operator=(const AbstractTimeoutClock& /*other*/) = default;

std::uint64_t AbstractTimeoutClock::GetSafeWaitDuration(std::uint64_t limit) const
{
    const std::uint64_t remaining = GetRemainingMilliseconds();
    Update();
    const std::uint64_t cap =
        limit <= sc_MaximumSafeWaitDuration ? limit : sc_MaximumSafeWaitDuration;
    return remaining <= cap ? remaining : cap;
}

void AbstractTimeoutClock::Wait() const
{
    // The safe duration fits in 32 bits; only those reach Sleep. A sleep that ends before the
    // tick counter has caught up leaves a little time, which the next round sleeps off.
    std::uint32_t duration =
        static_cast<std::uint32_t>(GetSafeWaitDuration(sc_MaximumSafeWaitDuration));
    while (duration != 0)
    {
        Os::Sleep(duration);
        duration = static_cast<std::uint32_t>(GetSafeWaitDuration(sc_MaximumSafeWaitDuration));
    }
}

} // namespace Tolvane::Util

// Timeout clocks: a 64-bit millisecond countdown on the 32-bit tick counter, and waiting it out.
#pragma once

#include <Tolvane/Util/Api.h>

#include <cstdint>

namespace Tolvane::Util {

// The interface of a timeout clock: what remains of a timeout, and a wait that sleeps until
// nothing remains, in slices of at most sc_MaximumSafeWaitDuration. Derive from it for a clock
// of your own; an override of GetSafeWaitDuration must not return more than its limit.
//
// Nothing throws. The const operations bring the clock up to date and so write its state: one
// clock must not be used by two threads at once without a lock of the caller's. Clocks are not
// deleted through this interface (its destructor is protected and not virtual).
class TOLVANE_UTIL_API AbstractTimeoutClock
{
public:
    // The longest single sleep a clock asks for, in milliseconds (0x10000000, about 74.6 h).
    static const std::uint64_t sc_MaximumSafeWaitDuration = 268435456;

    AbstractTimeoutClock();
    AbstractTimeoutClock(const AbstractTimeoutClock& other);
    AbstractTimeoutClock& operator=(const AbstractTimeoutClock& other);

    // Brings the remaining time up to date.
    virtual void Update() const = 0;

    // The milliseconds that remain, 0 once the timeout has expired.
    virtual std::uint64_t GetRemainingMilliseconds() const = 0;

    // How long the caller may sleep now: the least of the remaining time, `limit` and
    // sc_MaximumSafeWaitDuration.
    virtual std::uint64_t GetSafeWaitDuration(std::uint64_t limit) const;

    // Blocks the calling thread until the clock has run out; returns at once on an expired
    // clock. Nothing else ends the wait.
    virtual void Wait() const;

protected:
    ~AbstractTimeoutClock() = default;
};

// Counts a timeout down against the system's millisecond tick counter, correctly across the
// counter's wrap at 2^32 ms as long as it is consulted at least once in that time (about 49.7
// days; a longer gap loses the excess). An expired clock reads no tick and stays expired until
// Reset or an assignment from a running clock. Final: derive from AbstractTimeoutClock instead.
class TOLVANE_UTIL_API TimeoutClock final : public AbstractTimeoutClock
{
public:
    // Starts a countdown of `timeoutMilliseconds` from now; 0 (the default) is expired at once.
    explicit TimeoutClock(std::uint64_t timeoutMilliseconds = 0);
    // Copying and assignment update the source first, then take its state: right afterwards
    // both clocks hold the same remaining time and the same last tick.
    TimeoutClock(const TimeoutClock& other);
    TimeoutClock& operator=(const TimeoutClock& other);

    void Update() const override;
    std::uint64_t GetRemainingMilliseconds() const override;

    // Restarts the countdown with `timeoutMilliseconds` from now, expired or not.
    void Reset(std::uint64_t timeoutMilliseconds);

private:
    mutable std::uint64_t m_RemainingMilliseconds;
    mutable std::uint32_t m_LastTickCount;
};

} // namespace Tolvane::Util

// TimeoutClock: a 64-bit countdown measured on the wrapping 32-bit tick counter.
#include <Tolvane/Util/TimeoutClock.h>

#include "os/Clock.h"

namespace Tolvane::Util {

TimeoutClock::TimeoutClock(std::uint64_t timeoutMilliseconds)
    : m_RemainingMilliseconds(timeoutMilliseconds), m_LastTickCount(Os::GetTickCount())
{
}

TimeoutClock::TimeoutClock(const TimeoutClock& other)
    : AbstractTimeoutClock(other), m_RemainingMilliseconds(0), m_LastTickCount(0)
{
    other.Update();
    m_RemainingMilliseconds = other.m_RemainingMilliseconds;
    m_LastTickCount = other.m_LastTickCount;
}

TimeoutClock& TimeoutClock::operator=(const TimeoutClock& other)
{
    other.Update();
    m_RemainingMilliseconds = other.m_RemainingMilliseconds;
    m_LastTickCount = other.m_LastTickCount;
    return *this;
}

void TimeoutClock::Update() const
{
    if (m_RemainingMilliseconds == 0)
    {
        // Expired: no system call, and the last tick stays as it was.
        return;
    }
    const std::uint32_t now = Os::GetTickCount();
    // Unsigned 32-bit difference: right across one wrap of the counter.
    const std::uint32_t elapsed = now - m_LastTickCount;
    m_RemainingMilliseconds =
        m_RemainingMilliseconds > elapsed ? m_RemainingMilliseconds - elapsed : 0;
    m_LastTickCount = now;
}

std::uint64_t TimeoutClock::GetRemainingMilliseconds() const
{
    Update();
    return m_RemainingMilliseconds;
}

void TimeoutClock::Reset(std::uint64_t timeoutMilliseconds)
{
    m_RemainingMilliseconds = timeoutMilliseconds;
    m_LastTickCount = Os::GetTickCount();
}

} // namespace Tolvane::Util

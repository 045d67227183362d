// Fake backend: the clock operations answer from the script and are recorded.
#include "FakeClock.h"

#include <algorithm>

namespace Tolvane::Util::Os {

std::uint32_t GetTickCount()
{
    Fake::ClockCalls().push_back('T');
    return Fake::Clock().tickCount;
}

void Sleep(std::uint32_t milliseconds)
{
    Fake::ClockCalls().push_back('S');
    Fake::ClockScript& clock = Fake::Clock();
    clock.sleeps.push_back(milliseconds);
    clock.tickCount += milliseconds - std::min(milliseconds, clock.nextSleepShortfall);
    clock.nextSleepShortfall = 0;
}

FileTime GetSystemTimeAsFileTime()
{
    Fake::ClockCalls().push_back('F');
    return Fake::Clock().fileTime;
}

std::int64_t Time()
{
    Fake::ClockCalls().push_back('C');
    return Fake::Clock().time;
}

} // namespace Tolvane::Util::Os

// Fake backend: the clock operations answer from the script and are recorded.
#include "FakeClock.h"

#include <algorithm>

namespace Tolvane::Util::Os {

std::string Fake::ClockCalls()
{
    std::string letters;
    for (const auto& [letter, milliseconds] : ClockRecorder::Calls())
    {
        letters += letter;
    }
    return letters;
}

std::vector<std::uint32_t> Fake::Sleeps()
{
    std::vector<std::uint32_t> sleeps;
    for (const auto& [letter, milliseconds] : ClockRecorder::Calls())
    {
        if (letter == 'S')
        {
            sleeps.push_back(milliseconds);
        }
    }
    return sleeps;
}

std::uint32_t GetTickCount()
{
    Fake::ClockRecorder::Calls().emplace_back('T', 0);
    return Fake::Clock().tickCount;
}

void Sleep(std::uint32_t milliseconds)
{
    Fake::ClockRecorder::Calls().emplace_back('S', milliseconds);
    Fake::ClockScript& clock = Fake::Clock();
    clock.tickCount += milliseconds - std::min(milliseconds, clock.nextSleepShortfall);
    clock.nextSleepShortfall = 0;
}

FileTime GetSystemTimeAsFileTime()
{
    Fake::ClockRecorder::Calls().emplace_back('F', 0);
    return Fake::Clock().fileTime;
}

std::int64_t Time()
{
    Fake::ClockRecorder::Calls().emplace_back('C', 0);
    return Fake::Clock().time;
}

} // namespace Tolvane::Util::Os

// Fake backend: the clock operations answer from the script and are recorded.
#include "FakeClock.h"

#include <algorithm>

namespace Tolvane {
namespace Util {
namespace Os {
namespace Fake {

namespace {

struct State
{
    ClockScript script;
    std::vector<ClockCall> calls;
    std::vector<std::uint32_t> sleeps;
};

// A function-local static: usable from static initialisers of the library's objects.
State& TheState()
{
    static State state;
    return state;
}

} // namespace

ClockScript& Clock()
{
    return TheState().script;
}

void AdvanceTickCount(std::uint32_t milliseconds)
{
    // Unsigned arithmetic wraps at 2^32, as the real counter does.
    TheState().script.tickCount += milliseconds;
}

const std::vector<ClockCall>& ClockCalls()
{
    return TheState().calls;
}

const std::vector<std::uint32_t>& Sleeps()
{
    return TheState().sleeps;
}

std::size_t TickCountReads()
{
    const std::vector<ClockCall>& calls = TheState().calls;
    return static_cast<std::size_t>(
        std::count(calls.begin(), calls.end(), ClockCall::GetTickCount));
}

void ResetClock()
{
    TheState() = State{};
}

} // namespace Fake

std::uint32_t GetTickCount()
{
    Fake::TheState().calls.push_back(Fake::ClockCall::GetTickCount);
    return Fake::TheState().script.tickCount;
}

void Sleep(std::uint32_t milliseconds)
{
    Fake::State& state = Fake::TheState();
    state.calls.push_back(Fake::ClockCall::Sleep);
    state.sleeps.push_back(milliseconds);
    const std::uint32_t shortfall = std::min(milliseconds, state.script.nextSleepShortfall);
    state.script.nextSleepShortfall = 0;
    Fake::AdvanceTickCount(milliseconds - shortfall);
}

FileTime GetSystemTimeAsFileTime()
{
    Fake::TheState().calls.push_back(Fake::ClockCall::GetSystemTimeAsFileTime);
    return Fake::TheState().script.fileTime;
}

std::int64_t Time()
{
    Fake::TheState().calls.push_back(Fake::ClockCall::Time);
    return Fake::TheState().script.time;
}

} // namespace Os
} // namespace Util
} // namespace Tolvane

// Fake backend: a tick counter that tests move (and that wraps), a Sleep that records its
// arguments and moves the counter, and scripted system and calendar times.
#pragma once

#include "Recorder.h"
#include "os/Clock.h"

#include <string>
#include <vector>

namespace Tolvane::Util::Os::Fake {

struct ClockScript
{
    // What GetTickCount answers now; Sleep moves it, wrapping at 2^32.
    std::uint32_t tickCount = 0;
    // How far the next Sleep alone falls short of advancing the counter by its argument (a
    // sleep that ends before the tick counter has caught up).
    std::uint32_t nextSleepShortfall = 0;
    FileTime fileTime{0, 0};
    std::int64_t time = 0;
    // Not scripted but recorded: the argument of each Sleep, in order.
    std::vector<std::uint32_t> sleeps;
};

// Each call records a letter: 'T' GetTickCount, 'S' Sleep, 'F' GetSystemTimeAsFileTime,
// 'C' Time.
using ClockRecorder = Recorder<ClockScript, char, std::string>;
inline constexpr auto Clock = ClockRecorder::Script;
inline constexpr auto ClockCalls = ClockRecorder::Calls;
inline constexpr auto ResetClock = ClockRecorder::Reset;

} // namespace Tolvane::Util::Os::Fake

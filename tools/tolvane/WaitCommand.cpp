// tolvane wait: wait out a timeout, with a live countdown on a terminal.
#include "Commands.h"
#include "Terminal.h"

#include <Tolvane/Util/TimeoutClock.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>

namespace Tolvane::Tool {

namespace {

// "1500", "1500ms", "3s", "2m", "1h" in milliseconds; false for anything else or an overflow.
bool ParseDuration(const std::string& text, std::uint64_t& milliseconds)
{
    std::size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9')
    {
        ++digits;
    }
    if (digits == 0)
    {
        return false;
    }
    const std::string unit = text.substr(digits);
    std::uint64_t scale = 0;
    if (unit.empty() || unit == "ms")
    {
        scale = 1;
    }
    else if (unit == "s")
    {
        scale = 1000;
    }
    else if (unit == "m")
    {
        scale = 60000;
    }
    else if (unit == "h")
    {
        scale = 3600000;
    }
    else
    {
        return false;
    }
    std::uint64_t value = 0;
    const std::uint64_t limit = std::numeric_limits<std::uint64_t>::max();
    for (std::size_t i = 0; i < digits; ++i)
    {
        const auto digit = static_cast<std::uint64_t>(text[i] - '0');
        if (value > (limit - digit) / 10)
        {
            return false;
        }
        value = value * 10 + digit;
    }
    if (value > limit / scale)
    {
        return false;
    }
    milliseconds = value * scale;
    return true;
}

volatile std::sig_atomic_t s_Interrupted = 0;

void NoteInterrupt(int)
{
    s_Interrupted = 1;
}

// A countdown refreshed a few times a second: each slice is what the clock says is safe to
// sleep, at most a quarter of a second, waited out with a clock of its own. Ctrl-C ends the
// countdown's line before the program stops, so the shell's prompt does not land on it; the
// exit code is the one a shell gives a program ended by SIGINT.
int WaitWithCountdown(const Util::TimeoutClock& clock)
{
    constexpr std::uint64_t refreshMilliseconds = 250;
    std::signal(SIGINT, NoteInterrupt);
    for (std::uint64_t slice = clock.GetSafeWaitDuration(refreshMilliseconds); slice != 0;
         slice = clock.GetSafeWaitDuration(refreshMilliseconds))
    {
        if (s_Interrupted)
        {
            std::fprintf(stderr, "\rwaiting: interrupted       \n");
            return 128 + SIGINT;
        }
        const std::uint64_t remaining = clock.GetRemainingMilliseconds();
        std::fprintf(stderr, "\rwaiting: %llu.%01llu s left   ",
                     static_cast<unsigned long long>(remaining / 1000),
                     static_cast<unsigned long long>(remaining % 1000 / 100));
        std::fflush(stderr);
        Util::TimeoutClock(slice).Wait();
    }
    std::fprintf(stderr, "\rwaiting: done            \n");
    return ExitSuccess;
}

int RunWait(const std::string& duration)
{
    std::uint64_t milliseconds = 0;
    if (!ParseDuration(duration, milliseconds))
    {
        Fail(ExitUsage, "tolvane wait: '" + duration +
                            "' is no duration (a number of milliseconds, or with ms, s, m or h).");
    }
    const Util::TimeoutClock clock(milliseconds);
    if (IsStandardErrorATerminal())
    {
        return WaitWithCountdown(clock);
    }
    clock.Wait();
    return ExitSuccess;
}

} // namespace

void AddWaitCommand(CLI::App& app)
{
    auto duration = std::make_shared<std::string>();
    CLI::App* command =
        app.add_subcommand("wait", "Wait with a timeout clock (shows a countdown on a terminal)");
    command->add_option("duration", *duration, "Milliseconds, or with a unit: 500ms, 3s, 2m, 1h")
        ->required();
    command->callback([duration] { throw CLI::RuntimeError(RunWait(*duration)); });
}

} // namespace Tolvane::Tool

// Timeout clocks on the real tick counter and Sleep.
#include <Tolvane/Util/TimeoutClock.h>

#include <gtest/gtest.h>

#include <chrono>

namespace
{

using namespace Tolvane::Util;
using Clock = std::chrono::steady_clock;

// Windows' tick counter (and Wine's) may advance in steps of about 16 ms, so a clock can see a
// timeout run out up to one step before the real time has passed.
constexpr long long TickStepMs = 16;

long long MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

TEST(TimeoutClockNative, WaitTakesTheTimeoutAndReturns)
{
    const Clock::time_point start = Clock::now();
    const TimeoutClock clock(200);
    clock.Wait();
    const long long elapsed = MillisecondsSince(start);
    EXPECT_GE(elapsed, 200 - TickStepMs);
    EXPECT_LT(elapsed, 2000);
    EXPECT_EQ(clock.GetRemainingMilliseconds(), 0u);
}

TEST(TimeoutClockNative, RemainingTimeFallsWithRealTime)
{
    const TimeoutClock clock(10000);
    const TimeoutClock shortClock(100);
    shortClock.Wait();
    const std::uint64_t remaining = clock.GetRemainingMilliseconds();
    EXPECT_LE(remaining, static_cast<std::uint64_t>(10000 - 100 + TickStepMs));
    EXPECT_GT(remaining, 8000u);
}

TEST(TimeoutClockNative, ExpiredClockReturnsAtOnce)
{
    const TimeoutClock clock;
    const Clock::time_point start = Clock::now();
    clock.Wait();
    EXPECT_LT(MillisecondsSince(start), 50);
}

} // namespace

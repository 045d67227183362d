// Timeout clocks on the real tick counter and Sleep, and a client clock on the exported base.
#include <Tolvane/Util/TimeoutClock.h>

#include "support/Elapsed.h"

#include <gtest/gtest.h>

namespace {

using namespace Tolvane::Util;
using Tolvane::Testing::MillisecondsSince;
using Tolvane::Testing::TickStepMs;
using SteadyClock = std::chrono::steady_clock;

TEST(TimeoutClockNative, WaitTakesTheTimeoutAndReturns)
{
    const SteadyClock::time_point start = SteadyClock::now();
    const TimeoutClock clock(200);
    clock.Wait();
    const long long elapsed = MillisecondsSince(start);
    EXPECT_GE(elapsed, 200 - TickStepMs);
    EXPECT_LT(elapsed, 2000);
    EXPECT_EQ(clock.GetRemainingMilliseconds(), 0u);
    // The constant is read through its export, not folded in by the compiler.
    const std::uint64_t* address = &AbstractTimeoutClock::sc_MaximumSafeWaitDuration;
    EXPECT_EQ(*address, 268435456u);
}

// A clock of the client's own: 30 ms at first, nothing once updated.
class StepClock final : public AbstractTimeoutClock
{
public:
    void Update() const override { m_Updated = true; }
    std::uint64_t GetRemainingMilliseconds() const override { return m_Updated ? 0 : 30; }

private:
    mutable bool m_Updated = false;
};

TEST(TimeoutClockNative, ClientClocksDeriveFromTheExportedInterface)
{
    const StepClock clock;
    const SteadyClock::time_point start = SteadyClock::now();
    clock.Wait(); // one sleep of 30 ms
    EXPECT_GE(MillisecondsSince(start), 30 - TickStepMs);
    const TimeoutClock timeout(5);
    const AbstractTimeoutClock* clocks[] = {&timeout, &clock};
    EXPECT_NE(dynamic_cast<const TimeoutClock*>(clocks[0]), nullptr);
    EXPECT_EQ(dynamic_cast<const TimeoutClock*>(clocks[1]), nullptr);
}

} // namespace

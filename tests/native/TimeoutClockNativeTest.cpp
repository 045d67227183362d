// Timeout clocks on the real tick counter and Sleep.
#include <Tolvane/Util/TimeoutClock.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>

namespace {

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
    // The constant is read through its export, not folded in by the compiler.
    const std::uint64_t* address = &AbstractTimeoutClock::sc_MaximumSafeWaitDuration;
    EXPECT_EQ(*address, 268435456u);
}

// A clock of the client's own, built on the library's exported base class.
class StepClock final : public AbstractTimeoutClock
{
public:
    void Update() const override { ++m_Updates; }
    std::uint64_t GetRemainingMilliseconds() const override { return m_Updates == 0 ? 30 : 0; }

private:
    mutable int m_Updates = 0;
};

TEST(TimeoutClockNative, ClientClocksDeriveFromTheExportedInterface)
{
    const StepClock clock;
    const Clock::time_point start = Clock::now();
    clock.Wait(); // one sleep of 30 ms, then the clock reports nothing left
    EXPECT_GE(MillisecondsSince(start), 30 - TickStepMs);

    const TimeoutClock timeout(5);
    const AbstractTimeoutClock& asInterface = timeout;
    EXPECT_NE(dynamic_cast<const TimeoutClock*>(&asInterface), nullptr);
    EXPECT_EQ(dynamic_cast<const TimeoutClock*>(static_cast<const AbstractTimeoutClock*>(&clock)),
              nullptr);
}

} // namespace

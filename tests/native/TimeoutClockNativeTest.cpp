// Timeout clocks on the real tick counter and Sleep, and a client clock on the exported base.
#include <Tolvane/Util/TimeoutClock.h>

#include "support/Elapsed.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace Tolvane::Util;
using Tolvane::Testing::MillisecondsSince;
using Tolvane::Testing::TickStepMs;

// A clock of the client's own: 30 ms at first, nothing once updated; it logs the calls.
class ScriptedClock final : public AbstractTimeoutClock
{
public:
    void Update() const override { calls += "U"; }
    std::uint64_t GetRemainingMilliseconds() const override
    {
        calls += "R";
        return calls.size() < 3 ? 30 : 0;
    }
    mutable std::string calls;
};

TEST(TimeoutClockNative, WaitTakesTheTimeoutOnTheLibrarysClockAndOnAClientsOwn)
{
    const auto start = std::chrono::steady_clock::now();
    const TimeoutClock clock(200);
    clock.Wait();
    const long long elapsed = MillisecondsSince(start);
    EXPECT_TRUE(elapsed >= 200 - TickStepMs && elapsed < 2000) << elapsed;

    const ScriptedClock client;
    client.Wait(); // one sleep of 30 ms, each remaining time read before the update
    EXPECT_GE(MillisecondsSince(start), elapsed + 30 - TickStepMs);
    EXPECT_EQ(client.calls, "RURU");
    // The constant is read through its export, not folded in by the compiler.
    const std::uint64_t* address = &AbstractTimeoutClock::sc_MaximumSafeWaitDuration;
    EXPECT_EQ(*address, 268435456u);
}

} // namespace

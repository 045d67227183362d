// Through the real library: timeout clocks on the real tick counter and Sleep, a client clock on
// the exported base, and generators seeded from the system's provider.
#include <Tolvane/Util/RandomNumberGenerator.h>
#include <Tolvane/Util/TimeoutClock.h>

#include "support/Elapsed.h"
#include "support/Numbers.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using namespace Tolvane::Util;
using Tolvane::Testing::MillisecondsSince;
using Tolvane::Testing::Numbers;
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

TEST(RandomNumberGeneratorNative, SystemSeedsDiffer)
{
    // 624 words from the provider at construction and at each reseed: no two seeds repeat
    // each other.
    RandomNumberGenerator generator;
    std::set<std::vector<Long32>> sequences{Numbers(generator, 0, 0x7FFFFFFF, 4)};
    for (int i = 0; i < 15; ++i)
    {
        generator.Seed();
        sequences.insert(Numbers(generator, 0, 0x7FFFFFFF, 4));
    }
    EXPECT_EQ(sequences.size(), 16u);
}

} // namespace

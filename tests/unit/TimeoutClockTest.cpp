// Timeout clocks on the fake tick counter: countdown, wrap, saturation, safe waits and slices,
// expired clocks, resets and copies.
#include <Tolvane/Util/TimeoutClock.h>

#include "FakeClock.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

using namespace Tolvane::Util;
namespace Fake = Os::Fake;
using Sleeps = std::vector<std::uint32_t>;

constexpr std::uint64_t MaximumSlice = 268435456;
constexpr std::uint64_t AllOnes64 = ~std::uint64_t{0};

TEST(TimeoutClock, CountsDownWithTheTickCounterAcrossItsWrapAndStopsAtZero)
{
    Fake::Clock().tickCount = 0xFFFFFF00; // 2^32 - 256
    const TimeoutClock clock(1000);
    const TimeoutClock longest(AllOnes64);
    const std::pair<std::uint32_t, std::uint64_t> steps[] = {{0, 1000}, {1, 999}, {511, 488},
                                                             {487, 1},  {5, 0},   {5000, 0}};
    for (const auto& [advance, remaining] : steps)
    {
        Fake::Clock().tickCount += advance;
        EXPECT_EQ(clock.GetRemainingMilliseconds(), remaining) << advance;
    }
    // Each update counts only the ticks since the last one, also when they are all 2^32 - 1.
    EXPECT_EQ(longest.GetRemainingMilliseconds(), AllOnes64 - 6004);
    Fake::Clock().tickCount += 0xFFFFFFFF;
    EXPECT_EQ(longest.GetRemainingMilliseconds(), AllOnes64 - 6004 - 0xFFFFFFFF);
}

TEST(TimeoutClock, SafeWaitDurationIsTheLeastOfRemainingLimitAndMaximum)
{
    const std::uint64_t Big = std::uint64_t{1} << 40;
    const std::uint64_t cases[][3] = {// remaining, limit, expected
                                      {10000, 0, 0},
                                      {10000, 500, 500},
                                      {499, 500, 499},
                                      {Big, AllOnes64, MaximumSlice},
                                      {0, AllOnes64, 0}};
    for (const auto& c : cases)
    {
        EXPECT_EQ(TimeoutClock(c[0]).GetSafeWaitDuration(c[1]), c[2]) << c[0] << ", " << c[1];
    }
}

TEST(TimeoutClock, WaitSleepsTheRemainingTimeInSlicesUntilTheClockExpires)
{
    // timeout, ticks before the wait, shortfall of the first sleep (one that ends before the
    // tick counter caught up), the sleeps
    const std::tuple<std::uint64_t, std::uint32_t, std::uint32_t, Sleeps> cases[] = {
        {0, 0, 0, {}},
        {1000, 300, 0, {700}},
        {1000, 0, 16, {1000, 16}},
        // 2^40 / 2^28 slices, the counter wrapping on the way.
        {std::uint64_t{1} << 40, 0, 0, Sleeps(4096, MaximumSlice)}};
    for (const auto& [timeout, advance, shortfall, expected] : cases)
    {
        Fake::ResetClock();
        const TimeoutClock clock(timeout);
        Fake::Clock().tickCount += advance;
        Fake::Clock().nextSleepShortfall = shortfall;
        clock.Wait();
        EXPECT_TRUE(Fake::Clock().sleeps == expected) << timeout;
        EXPECT_EQ(clock.GetRemainingMilliseconds(), 0u);
    }
}

TEST(TimeoutClock, ExpiredClockReadsNoTickAndCopiesAndResetsRestartIt)
{
    TimeoutClock clock(50);
    const TimeoutClock source(1000);
    const TimeoutClock byDefault;
    Fake::Clock().tickCount += 60;
    EXPECT_EQ(clock.GetRemainingMilliseconds(), 0u);
    const std::string calls = Fake::ClockCalls();
    clock.Wait();
    EXPECT_EQ(byDefault.GetRemainingMilliseconds(), 0u);
    EXPECT_EQ(Fake::ClockCalls(), calls) << "no tick read, no sleep";

    // A copy, and an assignment that revives the expired clock, each update the source first:
    // one tick read apiece, and no tick since for the copies to count again.
    const TimeoutClock copy(source);
    clock = source;
    EXPECT_EQ(Fake::ClockCalls(), calls + "TT");
    Fake::Clock().tickCount += 100;
    for (const TimeoutClock* running : {&source, &copy, &std::as_const(clock)})
    {
        EXPECT_EQ(running->GetRemainingMilliseconds(), 840u);
    }
    clock.Reset(100);
    Fake::Clock().tickCount += 40;
    EXPECT_EQ(clock.GetRemainingMilliseconds(), 60u);
}

} // namespace

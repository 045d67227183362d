// Timeout clocks on the fake tick counter: countdown, wrap, saturation, safe waits and slices,
// expired clocks, copies.
#include <Tolvane/Util/TimeoutClock.h>

#include "FakeClock.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace Tolvane::Util;
namespace Fake = Os::Fake;
using Sleeps = std::vector<std::uint32_t>;

constexpr std::uint64_t MaximumSlice = 268435456;
constexpr std::uint64_t AllOnes64 = ~std::uint64_t{0};

class TimeoutClockTest : public testing::Test
{
protected:
    void SetUp() override
    {
        Fake::ResetClock();
        Fake::Clock().tickCount = 1000;
    }
};

TEST_F(TimeoutClockTest, ZeroTimeoutIsExpiredAtOnceAndWaitsNot)
{
    // Taking the address needs the constant defined (and exported) by the library.
    EXPECT_EQ(*&AbstractTimeoutClock::sc_MaximumSafeWaitDuration, MaximumSlice);
    const TimeoutClock byDefault;
    const TimeoutClock zero(0);
    for (const TimeoutClock* clock : {&byDefault, &zero})
    {
        EXPECT_EQ(clock->GetRemainingMilliseconds(), 0u);
        clock->Wait();
    }
    EXPECT_TRUE(Fake::Sleeps().empty());
}

TEST_F(TimeoutClockTest, CountsDownWithTheTickCounterAndSaturatesAtZero)
{
    const TimeoutClock clock(1000);
    const std::pair<std::uint32_t, std::uint64_t> steps[] = {
        {0, 1000}, {1, 999}, {299, 700}, {699, 1}, {5, 0}, {5000, 0}, {0, 0}};
    for (const auto& [advance, remaining] : steps)
    {
        Fake::AdvanceTickCount(advance);
        EXPECT_EQ(clock.GetRemainingMilliseconds(), remaining) << advance;
    }
}

TEST_F(TimeoutClockTest, ElapsedTimeIsRightAcrossTheCounterWrapAndForTheLongestTimeout)
{
    Fake::Clock().tickCount = 0xFFFFFF00; // 2^32 - 256
    const TimeoutClock clock(10000);
    const TimeoutClock longest(AllOnes64);
    Fake::Clock().tickCount = 256;
    EXPECT_EQ(clock.GetRemainingMilliseconds(), 10000u - 512u);
    EXPECT_EQ(longest.GetRemainingMilliseconds(), AllOnes64 - 512);
    // Each update measures only the time since the last one.
    Fake::AdvanceTickCount(0xFFFFFFFF);
    EXPECT_EQ(longest.GetRemainingMilliseconds(), AllOnes64 - 512 - 0xFFFFFFFF);
}

TEST_F(TimeoutClockTest, SafeWaitDurationIsTheLeastOfRemainingLimitAndMaximum)
{
    const std::uint64_t Big = std::uint64_t{1} << 40;
    const std::uint64_t cases[][3] = {// remaining, limit, expected
                                      {10000, 0, 0},
                                      {10000, 500, 500},
                                      {500, 500, 500},
                                      {499, 500, 499},
                                      {5000, AllOnes64, 5000},
                                      {Big, AllOnes64, MaximumSlice},
                                      {Big, MaximumSlice + 1, MaximumSlice},
                                      {Big, MaximumSlice - 1, MaximumSlice - 1},
                                      {MaximumSlice, AllOnes64, MaximumSlice},
                                      {0, 500, 0},
                                      {0, AllOnes64, 0}};
    for (const auto& c : cases)
    {
        EXPECT_EQ(TimeoutClock(c[0]).GetSafeWaitDuration(c[1]), c[2])
            << c[0] << " remaining, limit " << c[1];
    }
}

TEST_F(TimeoutClockTest, WaitSleepsTheRemainingTimeInSlicesUntilTheClockExpires)
{
    struct Case
    {
        std::uint64_t timeout;
        std::uint32_t advance;
        std::uint32_t shortfall; // a sleep that ends before the tick counter caught up
        Sleeps expected;
    };
    const Case cases[] = {{1000, 300, 0, {700}},
                          {1000, 0, 16, {1000, 16}},
                          // 2^40 / 2^28 slices, the counter wrapping on the way.
                          {std::uint64_t{1} << 40, 0, 0, Sleeps(4096, MaximumSlice)}};
    for (const Case& c : cases)
    {
        SetUp();
        const TimeoutClock clock(c.timeout);
        Fake::AdvanceTickCount(c.advance);
        Fake::Clock().nextSleepShortfall = c.shortfall;
        clock.Wait();
        EXPECT_TRUE(Fake::Sleeps() == c.expected) << c.timeout << ": " << Fake::Sleeps().size();
        EXPECT_EQ(clock.GetRemainingMilliseconds(), 0u);
    }
}

TEST_F(TimeoutClockTest, ExpiredClockReadsNoTick)
{
    const TimeoutClock clock(50);
    Fake::AdvanceTickCount(60);
    EXPECT_EQ(clock.GetRemainingMilliseconds(), 0u);
    const std::size_t reads = Fake::TickCountReads();

    Fake::AdvanceTickCount(1000);
    clock.Update();
    EXPECT_EQ(clock.GetRemainingMilliseconds(), 0u);
    EXPECT_EQ(clock.GetSafeWaitDuration(AllOnes64), 0u);
    clock.Wait();
    const TimeoutClock copy(clock);
    EXPECT_EQ(copy.GetRemainingMilliseconds(), 0u);
    EXPECT_EQ(Fake::TickCountReads(), reads);
    EXPECT_TRUE(Fake::Sleeps().empty());
}

TEST_F(TimeoutClockTest, ResetRestartsFromAFreshTick)
{
    TimeoutClock clock(50);
    Fake::AdvanceTickCount(60);
    EXPECT_EQ(clock.GetRemainingMilliseconds(), 0u);
    Fake::AdvanceTickCount(5000);
    clock.Reset(100);
    Fake::AdvanceTickCount(40);
    EXPECT_EQ(clock.GetRemainingMilliseconds(), 60u);

    // Reset also restarts a running clock, and Reset(0) expires it.
    Fake::AdvanceTickCount(10);
    clock.Reset(1000);
    Fake::AdvanceTickCount(1);
    EXPECT_EQ(clock.GetRemainingMilliseconds(), 999u);
    clock.Reset(0);
    EXPECT_EQ(clock.GetRemainingMilliseconds(), 0u);
}

TEST_F(TimeoutClockTest, CopyAndAssignmentUpdateTheSourceFirstAndBothAgree)
{
    const TimeoutClock source(1000);
    TimeoutClock target(5);
    TimeoutClock expired;
    Fake::AdvanceTickCount(300);
    const std::size_t reads = Fake::TickCountReads();
    const TimeoutClock copy(source);
    EXPECT_EQ(Fake::TickCountReads(), reads + 1);
    target = source;
    expired = source; // assignment from a running clock revives an expired one

    // No tick since: the source's update already counted the 300 ms.
    Fake::AdvanceTickCount(100);
    for (const TimeoutClock* clock : {&source, &copy, &static_cast<const TimeoutClock&>(target),
                                      &static_cast<const TimeoutClock&>(expired)})
    {
        EXPECT_EQ(clock->GetRemainingMilliseconds(), 600u);
    }
    TimeoutClock& self = target;
    target = self;
    Fake::AdvanceTickCount(50);
    EXPECT_EQ(target.GetRemainingMilliseconds(), 550u);
}

// A clock of the caller's own, to watch what the interface's operations call.
class ScriptedClock final : public AbstractTimeoutClock
{
public:
    explicit ScriptedClock(std::vector<std::uint64_t> remaining) : m_Remaining(std::move(remaining))
    {
    }
    void Update() const override { calls += "U"; }
    std::uint64_t GetRemainingMilliseconds() const override
    {
        calls += "R";
        return m_Next < m_Remaining.size() ? m_Remaining[m_Next++] : 0;
    }
    mutable std::string calls;

private:
    std::vector<std::uint64_t> m_Remaining;
    mutable std::size_t m_Next = 0;
};

TEST_F(TimeoutClockTest, InterfaceOperationsWorkOnADerivedClock)
{
    const ScriptedClock safe({700});
    EXPECT_EQ(safe.GetSafeWaitDuration(500), 500u);
    EXPECT_EQ(safe.calls, "RU") << "reads the remaining time, then updates";

    const ScriptedClock waiting({300, AllOnes64, 5, 0, 900});
    waiting.Wait();
    EXPECT_EQ(Fake::Sleeps(), (Sleeps{300, 268435456, 5}));
    EXPECT_EQ(waiting.calls, "RURURURU");
}

} // namespace

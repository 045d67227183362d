// Timeout clocks on the fake tick counter: countdown, wrap, saturation, safe waits and slices,
// expired clocks, copies.
#include <Tolvane/Util/TimeoutClock.h>

#include "FakeClock.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace
{

using namespace Tolvane::Util;
namespace Fake = Os::Fake;

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

TEST_F(TimeoutClockTest, MaximumSafeWaitDurationIs2To28)
{
    static_assert(AbstractTimeoutClock::sc_MaximumSafeWaitDuration == 268435456, "constant");
    const std::uint64_t* address = &AbstractTimeoutClock::sc_MaximumSafeWaitDuration;
    EXPECT_EQ(*address, 0x10000000u);
}

TEST_F(TimeoutClockTest, ZeroTimeoutIsExpiredAtOnceAndWaitsNot)
{
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
    struct Step
    {
        std::uint32_t advance;
        std::uint64_t remaining;
    };
    const Step steps[] = {{0, 1000}, {1, 999}, {299, 700}, {699, 1}, {5, 0}, {5000, 0}, {0, 0}};
    for (const Step& step : steps)
    {
        Fake::AdvanceTickCount(step.advance);
        EXPECT_EQ(clock.GetRemainingMilliseconds(), step.remaining) << step.advance;
    }
}

TEST_F(TimeoutClockTest, ElapsedTimeIsRightAcrossTheCounterWrap)
{
    Fake::Clock().tickCount = 0xFFFFFF00; // 2^32 - 256
    const TimeoutClock clock(10000);
    Fake::Clock().tickCount = 256;
    EXPECT_EQ(clock.GetRemainingMilliseconds(), 10000u - 512u);
}

TEST_F(TimeoutClockTest, LongestTimeoutCountsDownLikeAnyOther)
{
    const TimeoutClock clock(AllOnes64);
    Fake::AdvanceTickCount(10);
    EXPECT_EQ(clock.GetRemainingMilliseconds(), AllOnes64 - 10);
    // Each update measures only the time since the last one.
    Fake::AdvanceTickCount(0xFFFFFFFF);
    EXPECT_EQ(clock.GetRemainingMilliseconds(), AllOnes64 - 10 - 0xFFFFFFFF);
}

TEST_F(TimeoutClockTest, SafeWaitDurationIsTheLeastOfRemainingLimitAndMaximum)
{
    struct Case
    {
        std::uint64_t remaining;
        std::uint64_t limit;
        std::uint64_t expected;
    };
    const Case cases[] = {{10000, 0, 0},
                          {10000, 500, 500},
                          {500, 500, 500},
                          {499, 500, 499},
                          {5000, AllOnes64, 5000},
                          {std::uint64_t{1} << 40, AllOnes64, MaximumSlice},
                          {std::uint64_t{1} << 40, MaximumSlice + 1, MaximumSlice},
                          {std::uint64_t{1} << 40, MaximumSlice - 1, MaximumSlice - 1},
                          {MaximumSlice, AllOnes64, MaximumSlice},
                          {0, 500, 0},
                          {0, AllOnes64, 0}};
    for (const Case& c : cases)
    {
        const TimeoutClock clock(c.remaining);
        EXPECT_EQ(clock.GetSafeWaitDuration(c.limit), c.expected)
            << c.remaining << " remaining, limit " << c.limit;
    }
}

TEST_F(TimeoutClockTest, WaitSleepsTheRemainingTime)
{
    const TimeoutClock clock(1000);
    Fake::AdvanceTickCount(300);
    clock.Wait();
    EXPECT_EQ(Fake::Sleeps(), (std::vector<std::uint32_t>{700}));
    EXPECT_EQ(clock.GetRemainingMilliseconds(), 0u);
}

TEST_F(TimeoutClockTest, ShortSleepIsFollowedByASleepForTheRest)
{
    const TimeoutClock clock(1000);
    Fake::Clock().nextSleepShortfall = 16;
    clock.Wait();
    EXPECT_EQ(Fake::Sleeps(), (std::vector<std::uint32_t>{1000, 16}));
}

TEST_F(TimeoutClockTest, LongWaitSleepsInSlicesOfAtMost2To28)
{
    const TimeoutClock clock(std::uint64_t{1} << 40);
    clock.Wait();
    ASSERT_EQ(Fake::Sleeps().size(), 4096u); // 2^40 / 2^28, the counter wrapping on the way
    for (std::uint32_t sleep : Fake::Sleeps())
    {
        ASSERT_EQ(sleep, MaximumSlice);
    }
    EXPECT_EQ(clock.GetRemainingMilliseconds(), 0u);
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

TEST_F(TimeoutClockTest, CopyUpdatesTheSourceFirstAndBothAgree)
{
    const TimeoutClock source(1000);
    Fake::AdvanceTickCount(300);
    const std::size_t reads = Fake::TickCountReads();
    const TimeoutClock copy(source);
    EXPECT_EQ(Fake::TickCountReads(), reads + 1);

    // No tick since the copy: the source's update already counted the 300 ms.
    Fake::AdvanceTickCount(100);
    EXPECT_EQ(source.GetRemainingMilliseconds(), 600u);
    EXPECT_EQ(copy.GetRemainingMilliseconds(), 600u);
}

TEST_F(TimeoutClockTest, AssignmentUpdatesTheSourceFirstAndBothAgree)
{
    const TimeoutClock source(1000);
    TimeoutClock target(5);
    Fake::AdvanceTickCount(300);
    target = source;
    Fake::AdvanceTickCount(100);
    EXPECT_EQ(source.GetRemainingMilliseconds(), 600u);
    EXPECT_EQ(target.GetRemainingMilliseconds(), 600u);

    // Assignment from a running clock revives an expired one.
    TimeoutClock expired;
    expired = source;
    EXPECT_EQ(expired.GetRemainingMilliseconds(), 600u);

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

    void Update() const override { m_Calls += "U"; }

    std::uint64_t GetRemainingMilliseconds() const override
    {
        m_Calls += "R";
        const std::uint64_t value = m_Remaining.empty() ? 0 : m_Remaining.front();
        if (!m_Remaining.empty())
        {
            m_Remaining.erase(m_Remaining.begin());
        }
        return value;
    }

    std::string Calls() const { return m_Calls; }

private:
    mutable std::vector<std::uint64_t> m_Remaining;
    mutable std::string m_Calls;
};

TEST_F(TimeoutClockTest, SafeWaitReadsTheRemainingTimeThenUpdates)
{
    const ScriptedClock clock({700});
    EXPECT_EQ(clock.GetSafeWaitDuration(500), 500u);
    EXPECT_EQ(clock.Calls(), "RU");
}

TEST_F(TimeoutClockTest, WaitSleepsWhatADerivedClockReportsUntilItSaysZero)
{
    const ScriptedClock clock({300, AllOnes64, 5, 0, 900});
    clock.Wait();
    EXPECT_EQ(Fake::Sleeps(), (std::vector<std::uint32_t>{300, 268435456, 5}));
    EXPECT_EQ(clock.Calls(), "RURURURU");
}

} // namespace

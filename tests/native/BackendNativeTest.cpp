// The real backend's clock, provider and cursor operations, called directly.
#include "os/Clock.h"
#include "os/Crypto.h"
#include "os/Cursor.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <vector>

#if !defined(_WIN32)
#include <csignal>
#include <sys/time.h>
#endif

namespace {

using namespace Tolvane::Util;
using SteadyClock = std::chrono::steady_clock;

constexpr long long TickStepMs = 16;

long long MillisecondsSince(SteadyClock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - start)
        .count();
}

TEST(ClockBackend, TickCountAdvancesWithSleep)
{
    const std::uint32_t before = Os::GetTickCount();
    const SteadyClock::time_point start = SteadyClock::now();
    Os::Sleep(120);
    const long long slept = MillisecondsSince(start);
    const std::uint32_t ticks = Os::GetTickCount() - before;
    EXPECT_GE(slept, 120 - TickStepMs);
    EXPECT_GE(ticks, 120u - TickStepMs);
    EXPECT_LE(ticks, static_cast<std::uint32_t>(slept + 2 * TickStepMs));
}

#if !defined(_WIN32)
extern "C" void IgnoreAlarm(int) {}

TEST(ClockBackend, SleepResumesAfterSignals)
{
    // A signal every 20 ms interrupts nanosleep; the sleep still lasts the whole time.
    struct sigaction action
    {
    };
    action.sa_handler = IgnoreAlarm;
    struct sigaction previous
    {
    };
    ASSERT_EQ(sigaction(SIGALRM, &action, &previous), 0);
    itimerval timer{};
    timer.it_interval.tv_usec = 20000;
    timer.it_value.tv_usec = 20000;
    ASSERT_EQ(setitimer(ITIMER_REAL, &timer, nullptr), 0);

    const SteadyClock::time_point start = SteadyClock::now();
    Os::Sleep(300);
    const long long slept = MillisecondsSince(start);

    timer = itimerval{};
    setitimer(ITIMER_REAL, &timer, nullptr);
    sigaction(SIGALRM, &previous, nullptr);
    EXPECT_GE(slept, 300);
    EXPECT_LT(slept, 3000);
}
#endif

TEST(ClockBackend, FileTimeAndTimeAgreeOnTheCalendar)
{
    const std::int64_t before = Os::Time();
    const Os::FileTime now = Os::GetSystemTimeAsFileTime();
    const std::int64_t after = Os::Time();
    const std::uint64_t intervals =
        static_cast<std::uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime;
    // 100-ns intervals since 1601; 11644473600 s lie between 1601 and 1970.
    const std::int64_t seconds = static_cast<std::int64_t>(intervals / 10000000) - 11644473600;
    EXPECT_GE(seconds, before - 1);
    EXPECT_LE(seconds, after + 1);
    EXPECT_EQ(Os::Time(), static_cast<std::int64_t>(std::time(nullptr)));
    EXPECT_GT(before, 1700000000); // after November 2023
}

TEST(CryptoBackend, ProviderServesDistinctBytesUntilReleased)
{
    Os::CryptProviderHandle provider = nullptr;
    ASSERT_TRUE(Os::CryptAcquireContextA(provider, nullptr, nullptr, Os::ProvRsaFull,
                                         Os::CryptVerifyContext));
    ASSERT_NE(provider, nullptr);

    for (std::uint32_t length : {1u, 2496u, 1u << 20})
    {
        std::vector<std::uint8_t> first(length, 0);
        std::vector<std::uint8_t> second(length, 0);
        ASSERT_TRUE(Os::CryptGenRandom(provider, length, first.data())) << length;
        ASSERT_TRUE(Os::CryptGenRandom(provider, length, second.data())) << length;
        if (length > 16)
        {
            EXPECT_NE(first, second) << length;
            EXPECT_NE(first, std::vector<std::uint8_t>(length, 0)) << length;
        }
    }
    EXPECT_TRUE(Os::CryptReleaseContext(provider, 0));
}

#if !defined(_WIN32)
TEST(PosixBackend, RefusesForeignProvidersAndHasNoCursor)
{
    int other = 0;
    const Os::CryptProviderHandle foreign = reinterpret_cast<Os::CryptProviderHandle>(&other);
    std::uint8_t byte = 0;
    EXPECT_FALSE(Os::CryptGenRandom(foreign, 1, &byte));
    EXPECT_FALSE(Os::CryptReleaseContext(foreign, 0));
    Os::CryptProviderHandle provider = nullptr;
    EXPECT_FALSE(Os::CryptAcquireContextA(provider, nullptr, nullptr, 24, Os::CryptVerifyContext));
    EXPECT_FALSE(Os::CryptAcquireContextA(provider, nullptr, nullptr, Os::ProvRsaFull, 0));

    // The cursor query fails and yields zero.
    Os::Point point{0x1234, 0x5678};
    EXPECT_FALSE(Os::GetCursorPos(point));
    EXPECT_EQ(point.x, 0);
    EXPECT_EQ(point.y, 0);
}
#endif

} // namespace

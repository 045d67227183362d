// The real backend's clock, provider and cursor operations, called directly.
#include "os/Clock.h"
#include "os/Crypto.h"
#include "os/Cursor.h"
#include "support/Elapsed.h"

#include <gtest/gtest.h>

#include <ctime>
#include <vector>

#if !defined(_WIN32)
#include <csignal>
#include <sys/time.h>
#endif

namespace {

using namespace Tolvane::Util;
using Tolvane::Testing::MillisecondsSince;
using Tolvane::Testing::TickStepMs;
using SteadyClock = std::chrono::steady_clock;

#if !defined(_WIN32)
extern "C" void IgnoreAlarm(int) {}
#endif

TEST(ClockBackend, TickCountAdvancesWithSleepWhichOutlastsSignals)
{
#if !defined(_WIN32)
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
    timer.it_interval.tv_usec = timer.it_value.tv_usec = 20000;
    ASSERT_EQ(setitimer(ITIMER_REAL, &timer, nullptr), 0);
#endif
    const std::uint32_t before = Os::GetTickCount();
    const SteadyClock::time_point start = SteadyClock::now();
    Os::Sleep(200);
    const long long slept = MillisecondsSince(start);
    const std::uint32_t ticks = Os::GetTickCount() - before;
#if !defined(_WIN32)
    timer = itimerval{};
    setitimer(ITIMER_REAL, &timer, nullptr);
    sigaction(SIGALRM, &previous, nullptr);
#endif
    EXPECT_GE(slept, 200 - TickStepMs);
    EXPECT_LT(slept, 3000);
    EXPECT_GE(ticks, 200u - TickStepMs);
    EXPECT_LE(ticks, static_cast<std::uint32_t>(slept + 2 * TickStepMs));
}

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
    EXPECT_LE(after - static_cast<std::int64_t>(std::time(nullptr)), 0);
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
        EXPECT_TRUE(length == 1 || (first != second && first != std::vector<std::uint8_t>(length)));
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
    EXPECT_TRUE(point.x == 0 && point.y == 0);
}
#endif

} // namespace

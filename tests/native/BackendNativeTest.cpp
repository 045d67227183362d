// The real backend's clock, provider, cursor and version operations, called directly.
#include "os/Clock.h"
#include "os/Crypto.h"
#include "os/Cursor.h"
#include "os/Modules.h"
#include "os/SystemInfo.h"
#include "support/Elapsed.h"

#include <TestLibraryPaths.h>
#include <Tolvane/Util/OperatingSystem.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#if !defined(_WIN32)
#include <csignal>
#include <sys/time.h>
#endif

namespace {

using namespace Tolvane::Util;
using Tolvane::Testing::MillisecondsSince;
using Tolvane::Testing::TickStepMs;

#if !defined(_WIN32)
extern "C" void IgnoreAlarm(int) {}
#endif

TEST(ClockBackend, SleepOutlastsSignalsAndTheClocksAgree)
{
#if !defined(_WIN32)
    // A signal every 20 ms interrupts nanosleep, whatever SA_RESTART says; the sleep still
    // lasts the whole time.
    const auto previous = std::signal(SIGALRM, IgnoreAlarm);
    itimerval timer{{0, 20000}, {0, 20000}};
    ASSERT_EQ(setitimer(ITIMER_REAL, &timer, nullptr), 0);
#endif
    const std::uint32_t before = Os::GetTickCount();
    const auto start = std::chrono::steady_clock::now();
    Os::Sleep(200);
    const long long slept = MillisecondsSince(start);
    const std::uint32_t ticks = Os::GetTickCount() - before;
#if !defined(_WIN32)
    timer = itimerval{};
    setitimer(ITIMER_REAL, &timer, nullptr);
    std::signal(SIGALRM, previous);
#endif
    EXPECT_TRUE(slept >= 200 - TickStepMs && slept < 3000) << slept;
    EXPECT_TRUE(ticks >= 200u - TickStepMs && ticks <= slept + 2 * TickStepMs) << ticks;
    // The system time and the calendar time agree.
    const std::int64_t earlier = Os::Time();
    const Os::FileTime now = Os::GetSystemTimeAsFileTime();
    const std::int64_t later = Os::Time();
    // 100-ns intervals since 1601; 11644473600 s lie between 1601 and 1970.
    const std::int64_t seconds =
        static_cast<std::int64_t>((std::uint64_t{now.dwHighDateTime} << 32 | now.dwLowDateTime) /
                                  10000000) -
        11644473600;
    EXPECT_TRUE(seconds >= earlier - 1 && seconds <= later + 1) << seconds;
}

TEST(CryptoBackend, ProviderServesDistinctBytesUntilReleased)
{
    Os::CryptProviderHandle provider = nullptr;
    errno = ENOSYS; // left by an earlier call: only a failed probe may read it
    ASSERT_TRUE(Os::CryptAcquireContextA(provider, nullptr, nullptr, Os::ProvRsaFull,
                                         Os::CryptVerifyContext));
    // A request this large may come back in pieces.
    std::vector<std::uint8_t> first(1u << 20, 0);
    std::vector<std::uint8_t> second(first);
    ASSERT_TRUE(Os::CryptGenRandom(provider, 1u << 20, first.data()));
    ASSERT_TRUE(Os::CryptGenRandom(provider, 1u << 20, second.data()));
    EXPECT_TRUE(first != second && std::count(first.end() - 64, first.end(), 0) < 64);
    EXPECT_TRUE(Os::CryptReleaseContext(provider, 0));
}

TEST(SystemInfoBackend, VersionQueriesAnswerForTheRunningSystem)
{
#if defined(_WIN32)
    // Wine reports Windows 7 (NT 6.1) unless configured otherwise; every supported Windows is
    // NT 5.1 or later.
    EXPECT_TRUE(IsWindowsNtPlatform() && IsWindowsXpOrHigher());
#else
    // The POSIX backend answers with the kernel's release and a platform no Windows uses.
    Os::VersionInfoA info{sizeof(Os::VersionInfoA), 0, 0, 0, 0, {'x'}};
    EXPECT_TRUE(Os::GetVersionExA(info) && info.dwMajorVersion >= 3 && !info.szCSDVersion[0]);
    EXPECT_FALSE(IsWindowsNtPlatform() || IsWindowsXpOrHigher());
#endif
}

#if !defined(_WIN32)
TEST(PosixBackend, RefusesForeignProvidersHasNoCursorAndFreesWhatItLoaded)
{
    // The loader ignores what FreeLibrary answers; its callers may not.
    const Os::ModuleHandle module = Os::LoadLibraryExA(TOLVANE_TEST_LIBRARY, 0);
    EXPECT_TRUE(module != nullptr && Os::FreeLibrary(module));
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

// posix backend: the tick counter is the monotonic clock in milliseconds, cut to 32 bits so that
// it wraps like Windows'; sleeps resume after signals until the whole time has passed.
#include "os/Clock.h"

#include <cerrno>
#include <ctime>
#include <time.h>

namespace Tolvane::Util::Os {

namespace {

// 100-ns intervals from 1601-01-01 to 1970-01-01.
constexpr std::int64_t FileTimeOfUnixEpoch = 116444736000000000;

} // namespace

std::uint32_t GetTickCount()
{
    timespec now{};
    // CLOCK_MONOTONIC cannot fail with a valid pointer.
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::uint64_t milliseconds = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                                       static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(milliseconds);
}

void Sleep(std::uint32_t milliseconds)
{
    timespec request{};
    request.tv_sec = static_cast<time_t>(milliseconds / 1000u);
    request.tv_nsec = static_cast<long>(milliseconds % 1000u) * 1000000L;
    timespec remaining{};
    while (nanosleep(&request, &remaining) != 0 && errno == EINTR)
    {
        request = remaining;
    }
}

FileTime GetSystemTimeAsFileTime()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const std::int64_t intervals = static_cast<std::int64_t>(now.tv_sec) * 10000000 +
                                   static_cast<std::int64_t>(now.tv_nsec) / 100 +
                                   FileTimeOfUnixEpoch;
    const std::uint64_t bits = static_cast<std::uint64_t>(intervals);
    return FileTime{static_cast<std::uint32_t>(bits), static_cast<std::uint32_t>(bits >> 32)};
}

std::int64_t Time()
{
    return static_cast<std::int64_t>(std::time(nullptr));
}

} // namespace Tolvane::Util::Os

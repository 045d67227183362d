// The OS seam's clocks: the tick counter, sleeping, the system time and the C runtime's time.
#pragma once

#include <cstdint>

namespace Tolvane::Util::Os {

// A FILETIME: 100-nanosecond intervals since 1601-01-01 UTC, in two halves.
struct FileTime
{
    std::uint32_t dwLowDateTime;
    std::uint32_t dwHighDateTime;
};

// Milliseconds since the system started, wrapping to 0 after 2^32 - 1 (GetTickCount).
std::uint32_t GetTickCount();

// Suspends the calling thread for at least `milliseconds` (Sleep).
void Sleep(std::uint32_t milliseconds);

// The current UTC time (GetSystemTimeAsFileTime).
FileTime GetSystemTimeAsFileTime();

// Seconds since 1970-01-01 UTC, as the C runtime's time(NULL) reports them.
std::int64_t Time();

} // namespace Tolvane::Util::Os

// win32 backend: kernel32's tick counter, Sleep and system time, and the C runtime's time.
#include "os/Clock.h"

#include "os/win32/WindowsApi.h"

#include <ctime>

namespace Tolvane::Util::Os {

std::uint32_t GetTickCount()
{
    return static_cast<std::uint32_t>(::GetTickCount());
}

void Sleep(std::uint32_t milliseconds)
{
    ::Sleep(milliseconds);
}

FileTime GetSystemTimeAsFileTime()
{
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return FileTime{now.dwLowDateTime, now.dwHighDateTime};
}

std::int64_t Time()
{
    return static_cast<std::int64_t>(std::time(nullptr));
}

} // namespace Tolvane::Util::Os

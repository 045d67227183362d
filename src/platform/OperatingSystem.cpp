// The version queries: GetVersionExA on the basic record, asked anew on every call.
#include <Tolvane/Util/OperatingSystem.h>

#include "os/SystemInfo.h"

namespace Tolvane::Util {

namespace {

// The record of the running system when it reports the NT platform; false otherwise (also
// when the query fails).
bool QueryNtVersion(Os::VersionInfoA& info) noexcept
{
    info = Os::VersionInfoA{};
    info.dwOSVersionInfoSize = sizeof(Os::VersionInfoA);
    return Os::GetVersionExA(info) && info.dwPlatformId == Os::PlatformWin32Nt;
}

} // namespace

bool IsWindowsNtPlatform() noexcept
{
    Os::VersionInfoA info;
    return QueryNtVersion(info);
}

bool IsWindowsXpOrHigher() noexcept
{
    Os::VersionInfoA info;
    if (!QueryNtVersion(info))
    {
        return false;
    }
    // (major, minor) >= (5, 1), compared as unsigned values.
    if (info.dwMajorVersion < 5)
    {
        return false;
    }
    return info.dwMinorVersion >= 1 || info.dwMajorVersion > 5;
}

} // namespace Tolvane::Util

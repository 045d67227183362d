// posix backend: the version query answers with the kernel's release and a platform
// identifier that no Windows uses, so every Windows-specific version test says no.
#include "os/SystemInfo.h"

#include <sys/utsname.h>

#include <cstdio>

namespace Tolvane
{
namespace Util
{
namespace Os
{

namespace
{

constexpr std::uint32_t PlatformPosix = 0x504F5358; // "POSX": not a VER_PLATFORM_* value

} // namespace

bool GetVersionExA(VersionInfoA& info)
{
    if (info.dwOSVersionInfoSize != sizeof(VersionInfoA))
    {
        return false;
    }
    utsname name{};
    if (uname(&name) != 0)
    {
        return false;
    }
    unsigned major = 0;
    unsigned minor = 0;
    unsigned patch = 0;
    std::sscanf(name.release, "%u.%u.%u", &major, &minor, &patch);
    info.dwMajorVersion = major;
    info.dwMinorVersion = minor;
    info.dwBuildNumber = patch;
    info.dwPlatformId = PlatformPosix;
    info.szCSDVersion[0] = '\0';
    return true;
}

} // namespace Os
} // namespace Util
} // namespace Tolvane

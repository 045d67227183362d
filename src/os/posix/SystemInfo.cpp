// posix backend: the version query answers with the kernel's release and a platform
// identifier that no Windows uses, so every Windows-specific version test says no.
#include "os/SystemInfo.h"

#include <sys/utsname.h>

#include <cstdio>

namespace Tolvane::Util::Os {

namespace {

constexpr std::uint32_t PlatformPosix = 0x504F5358; // "POSX": not a VER_PLATFORM_* value

struct KernelRelease
{
    bool known = false;
    unsigned major = 0;
    unsigned minor = 0;
    unsigned patch = 0;
};

KernelRelease ReadKernelRelease()
{
    KernelRelease release;
    utsname name{};
    if (uname(&name) == 0)
    {
        release.known = true;
        std::sscanf(name.release, "%u.%u.%u", &release.major, &release.minor, &release.patch);
    }
    return release;
}

} // namespace

bool GetVersionExA(VersionInfoA& info)
{
    if (info.dwOSVersionInfoSize != sizeof(VersionInfoA))
    {
        return false;
    }
    // The running kernel cannot change under a process, and uname() costs microseconds where
    // Windows answers this query from memory: every conversion that forbids best fit asks it.
    static const KernelRelease release = ReadKernelRelease();
    if (!release.known)
    {
        return false;
    }
    info.dwMajorVersion = release.major;
    info.dwMinorVersion = release.minor;
    info.dwBuildNumber = release.patch;
    info.dwPlatformId = PlatformPosix;
    info.szCSDVersion[0] = '\0';
    return true;
}

} // namespace Tolvane::Util::Os

// Fake backend: GetVersionExA answers from the script. Windows 7 (NT 6.1) unless told otherwise.
#include "FakeSystemInfo.h"

namespace Tolvane {
namespace Util {
namespace Os {
namespace Fake {

namespace {

struct State
{
    SystemInfoScript script{MakeVersion(PlatformWin32Nt, 6, 1)};
    std::vector<std::uint32_t> sizes;
};

State& TheState()
{
    static State state;
    return state;
}

} // namespace

VersionInfoA MakeVersion(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor)
{
    VersionInfoA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    info.dwMajorVersion = major;
    info.dwMinorVersion = minor;
    info.dwBuildNumber = 7601;
    info.dwPlatformId = platformId;
    return info;
}

SystemInfoScript& SystemInfo()
{
    return TheState().script;
}

const std::vector<std::uint32_t>& VersionQuerySizes()
{
    return TheState().sizes;
}

void ResetSystemInfo()
{
    TheState() = State{};
}

} // namespace Fake

bool GetVersionExA(VersionInfoA& info)
{
    Fake::State& state = Fake::TheState();
    state.sizes.push_back(info.dwOSVersionInfoSize);
    if (!state.script.version || info.dwOSVersionInfoSize != sizeof(VersionInfoA))
    {
        return false;
    }
    info = *state.script.version;
    info.dwOSVersionInfoSize = sizeof(VersionInfoA);
    return true;
}

} // namespace Os
} // namespace Util
} // namespace Tolvane

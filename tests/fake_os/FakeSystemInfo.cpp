// Fake backend: the small system queries answer from their scripts and are recorded.
#include "FakeSystemInfo.h"

namespace Tolvane::Util::Os {

bool GetVersionExA(VersionInfoA& info)
{
    Fake::VersionQuerySizes().push_back(info.dwOSVersionInfoSize);
    const std::optional<VersionInfoA>& version = Fake::SystemInfo().version;
    const bool answers = version && info.dwOSVersionInfoSize == sizeof(VersionInfoA);
    info = answers ? *version : info;
    return answers;
}

bool GetCursorPos(Point& point)
{
    // The real query leaves the point unspecified when it fails.
    point = Fake::SystemInfo().cursorSucceeds ? Fake::SystemInfo().cursor : Point{-1, 77};
    ++Fake::SystemInfo().cursorQueries;
    return Fake::SystemInfo().cursorSucceeds;
}

bool DisableThreadLibraryCalls(ModuleHandle module)
{
    Fake::SystemInfo().disabledModules.push_back(module);
    return Fake::SystemInfo().disableThreadLibraryCallsSucceeds;
}

} // namespace Tolvane::Util::Os

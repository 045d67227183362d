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
    point = Fake::Cursor().succeeds ? Fake::Cursor().position : Point{-1, 77};
    Fake::CursorRecorder::Calls().push_back(point);
    return Fake::Cursor().succeeds;
}

bool DisableThreadLibraryCalls(ModuleHandle module)
{
    Fake::DisableThreadLibraryCallsCalls().push_back(module);
    return Fake::Process().disableThreadLibraryCallsSucceeds;
}

} // namespace Tolvane::Util::Os

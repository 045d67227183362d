// Fake backend: GetVersionExA answers from the script, for the basic record only.
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

} // namespace Tolvane::Util::Os

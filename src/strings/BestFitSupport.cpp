// The version test behind the round-trip path of wide-to-narrow conversion.
#include "strings/BestFitSupport.h"

#include "os/SystemInfo.h"

namespace Tolvane::Util::StringConversion {

bool IsBestFitSuppressionSupported()
{
    Os::VersionInfoA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!Os::GetVersionExA(info))
    {
        return false;
    }
    return !(info.dwPlatformId == Os::PlatformWin32Windows && info.dwMajorVersion == 4 &&
             info.dwMinorVersion < 10);
}

} // namespace Tolvane::Util::StringConversion

// The version test behind the round-trip path of wide-to-narrow conversion.
#include "strings/BestFitSupport.h"

#include "os/SystemInfo.h"

namespace Tolvane
{
namespace Util
{
namespace StringConversion
{

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

} // namespace StringConversion
} // namespace Util
} // namespace Tolvane

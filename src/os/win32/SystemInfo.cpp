// win32 backend: kernel32's GetVersionExA.
#include "os/SystemInfo.h"

#include "os/win32/WindowsApi.h"

#include <cstddef>

namespace Tolvane::Util::Os {

static_assert(sizeof(VersionInfoA) == sizeof(OSVERSIONINFOA), "same record");
static_assert(offsetof(VersionInfoA, dwPlatformId) == offsetof(OSVERSIONINFOA, dwPlatformId),
              "same layout");

bool GetVersionExA(VersionInfoA& info)
{
    return ::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info)) != 0;
}

} // namespace Tolvane::Util::Os

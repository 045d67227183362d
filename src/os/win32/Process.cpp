// win32 backend: operations on the library's own module.
#include "os/Process.h"

#include "os/win32/WindowsApi.h"

namespace Tolvane::Util::Os {

bool DisableThreadLibraryCalls(ModuleHandle module)
{
    return ::DisableThreadLibraryCalls(reinterpret_cast<HMODULE>(module)) != 0;
}

} // namespace Tolvane::Util::Os

// The OS seam's operations on the library's own module.
#pragma once

#include "os/Handles.h"

namespace Tolvane::Util::Os {

// Stops thread attach and detach notifications to `module` (DisableThreadLibraryCalls).
// False when the system refuses, as it does for a DLL with a TLS directory.
bool DisableThreadLibraryCalls(ModuleHandle module);

} // namespace Tolvane::Util::Os

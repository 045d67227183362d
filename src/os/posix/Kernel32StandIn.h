// posix backend: the stand-in for kernel32, whose one export loads a library by wide name.
#pragma once

#include "os/Handles.h"

namespace Tolvane::Util::Os::Posix {

// True when `name` names kernel32 as Windows compares module names: letter case aside, and
// with ".DLL" taken as the extension of a name that has none ("kernel32", "KERNEL32.DLL").
bool IsKernel32Name(const char* name);

// The stand-in's handle. It is always loaded: loading and freeing it count nothing.
ModuleHandle Kernel32StandIn();

// The stand-in's export `name`: "LoadLibraryExW" (an Os::LoadLibraryExWFunction that converts
// the UTF-32 name to UTF-8 and loads it with LoadLibraryExA), or null for any other name.
void* Kernel32StandInExport(const char* name);

} // namespace Tolvane::Util::Os::Posix

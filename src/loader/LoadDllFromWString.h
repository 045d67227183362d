// Loading a library by wide name, through kernel32's wide loader where it exists.
#pragma once

#include <Tolvane/Util/Api.h>

#include "os/Handles.h"

#include <string>

namespace Tolvane::Util::Loader {

// Loads `name` and returns its handle, never null. kernel32 is loaded and asked for
// LoadLibraryExW on every call; where it has it, the wide name goes to it unchanged, else the
// name is converted to the ANSI code page (best fit forbidden, the system's default character)
// and loaded with LoadLibraryExA. kernel32's reference is given back before the call returns or
// throws.
// A name with a NUL inside is refused before kernel32 is loaded (NameWithNul.h).
// Throws LoadDllException: narrow "Cannot load DLL 'KERNEL32.DLL'." when kernel32 does not load,
// wide "Cannot load DLL '<name>'." when the library does not; ConvertStringException when the
// name cannot be converted on the ANSI path; std::bad_alloc. Reentrant.
Os::ModuleHandle LoadDllFromWString(std::wstring name, ULong32 flags);

} // namespace Tolvane::Util::Loader

// Native test support: the test libraries' paths as the system under test spells them, and
// whether a library is loaded, asked of the system directly.
#pragma once

#include <string>

namespace Tolvane::Testing {

// `path` as the system reads it. The build writes Unix paths; under Wine, drive Z: is the Unix
// root, so "/a/b.dll" becomes "Z:\a\b.dll". Elsewhere the path is returned as it is.
std::string NativePath(const std::string& path);
std::wstring NativePath(const std::wstring& path);

// The plain test library, and the one whose file name has characters outside every ANSI code
// page (UTF-8 in narrow form), as NativePaths.
const std::string& LibraryPath();
const std::string& WideNamedLibraryPath();

// Whether the library at `path` (a NativePath, UTF-8) is loaded in this process. Loads nothing
// and leaves its reference count as it was.
bool IsModuleLoaded(const std::string& path);

} // namespace Tolvane::Testing

// Library names with a NUL inside, which no system call takes whole: refused before any load.
#pragma once

#include <string>

namespace Tolvane::Util::Loader {

// Throws LoadDllException "Cannot load DLL '<name>'." when `name` holds a NUL, which the
// system would take for its end and so load a different file. The message shows each NUL as
// the two characters \0, so that what() names the whole name; the wide form keeps its message
// wide. Throws std::bad_alloc.
void RejectNameWithNul(const std::string& name);
void RejectNameWithNul(const std::wstring& name);

} // namespace Tolvane::Util::Loader

// Fake backend: scripted libraries and exports, and a log of every module call.
#pragma once

#include "os/Modules.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace Tolvane::Util::Os::Fake {

// The name under which the library asks for kernel32.
constexpr const char* Kernel32Name = "KERNEL32.DLL";

// The exports of one library: by name, and by ordinal under "#" and its number. As on Windows,
// a name pointer below 0x10000 looks up the ordinal in its low 16 bits.
using Exports = std::map<std::string, void*, std::less<>>;

struct ModulesScript
{
    // The libraries that load, by the exact name given to LoadLibraryExA; any other fails.
    // Reset scripts "A.dll" and "B.dll" without exports (and their wide names), and kernel32
    // exporting "LoadLibraryExW": clear its exports to script a system without a wide loader, or
    // erase it to make it fail to load.
    std::map<std::string, Exports> modules;
    // The names that kernel32's LoadLibraryExW loads, each naming a library above.
    std::map<std::wstring, std::string> wideNames;
};

// Not for use from several threads at once. A reset invalidates the handles given out before.
ModulesScript& Modules();
// Every call in order, failed ones included, narrow names widened byte by byte and numbers in
// decimal: "LoadLibraryExA A.dll 8", "LoadLibraryExW name 8", "GetProcAddress A.dll Alpha" (or "#7"
// by ordinal, "@7" for a name pointer below 0x10000), "FreeLibrary A.dll".
const std::vector<std::wstring>& ModuleCalls();
// Loads of `module` less its frees: negative after a free too many.
int References(const std::string& module);
void ResetModules();

} // namespace Tolvane::Util::Os::Fake

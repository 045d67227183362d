// Fake backend: scripted libraries and exports, and a log of every module call.
#pragma once

#include "Recorder.h"
#include "os/Modules.h"

#include <map>
#include <string>

namespace Tolvane::Util::Os::Fake {

// The name under which the library asks for kernel32.
constexpr const char* Kernel32Name = "KERNEL32.DLL";

// The exports of one library: by name, and by ordinal under "#" and its number. As on Windows,
// a name pointer below 0x10000 looks up the ordinal in its low 16 bits.
using Exports = std::map<std::string, void*, std::less<>>;

// kernel32's wide loader: loads the library that `wideNames` gives for `name`.
ModuleHandle TOLVANE_OS_WINAPI FakeLoadLibraryExW(const wchar_t* name, void*, ULong32 flags);

struct ModulesScript
{
    // The libraries that load, by the exact name given to LoadLibraryExA; any other fails. Clear
    // kernel32's exports to script a system without a wide loader, or erase it to make it fail
    // to load.
    std::map<std::string, Exports> modules{
        {"A.dll", {}},
        {"B.dll", {}},
        {Kernel32Name,
         {{"LoadLibraryExW",
           reinterpret_cast<void*>(LoadLibraryExWFunction{&FakeLoadLibraryExW})}}}};
    // The names that kernel32's LoadLibraryExW loads, each naming a library above.
    std::map<std::wstring, std::string> wideNames{{L"A.dll", "A.dll"}, {L"B.dll", "B.dll"}};
    // Not scripted but recorded: loads of each library less its frees, negative after a free too
    // many. A reset invalidates the handles given out before.
    std::map<std::string, int> references;
};

// Not for use from several threads at once. Every call is logged in order, failed ones included,
// narrow names widened byte by byte and numbers in decimal: "LoadLibraryExA A.dll 8",
// "LoadLibraryExW name 8", "GetProcAddress A.dll Alpha" (or "#7" by ordinal, "@7" for a name
// pointer below 0x10000), "FreeLibrary A.dll".
using ModulesRecorder = Recorder<ModulesScript, std::wstring>;
inline constexpr auto Modules = ModulesRecorder::Script;
inline constexpr auto ModuleCalls = ModulesRecorder::Calls;
inline constexpr auto ResetModules = ModulesRecorder::Reset;

} // namespace Tolvane::Util::Os::Fake

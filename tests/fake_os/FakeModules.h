// Fake backend: scripted libraries and exports, with every load and free counted per library.
#pragma once

#include "os/Modules.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace Tolvane::Util::Os::Fake {

// The name under which the library asks for kernel32.
constexpr const char* Kernel32Name = "KERNEL32.DLL";

// One library that loads: its exports by name and by ordinal. As on Windows, a name pointer
// below 0x10000 looks up the ordinal in its low 16 bits.
struct FakeModule
{
    std::map<std::string, void*> exportsByName;
    std::map<std::uint16_t, void*> exportsByOrdinal;
};

struct ModulesScript
{
    // The libraries that load, by the name passed to LoadLibraryExA (compared exactly); any
    // other name fails to load. Reset puts kernel32 here, exporting "LoadLibraryExW": erase the
    // export to script a system without a wide loader, or kernel32 to make it fail to load.
    std::map<std::string, FakeModule> modules;
    // The wide names that kernel32's LoadLibraryExW loads, each naming a library above.
    std::map<std::wstring, std::string> wideNames;
};

struct LoadCall
{
    std::string name;
    std::uint32_t flags;
};

struct WideLoadCall
{
    std::wstring name;
    bool fileGiven;
    std::uint32_t flags;
};

struct ExportCall
{
    std::string module;
    bool byOrdinal;
    // The name pointer's value as it arrived (the ordinal for the ordinal form).
    std::uintptr_t name;
};

// Successful loads and frees of one library (FreeLibraryAndExitThread counts as a free).
struct ModuleCounts
{
    int loads = 0;
    int frees = 0;
    int References() const { return loads - frees; }
};

// What the fake FreeLibraryAndExitThread throws in place of ending the thread, after it has
// freed the library.
struct ThreadExit
{
    std::string module;
    std::uint32_t exitCode;
};

// The seam's module calls may run on any number of threads at once (the fake locks); the
// script must not change meanwhile, and the records are read once those threads are done.
ModulesScript& Modules();
// Calls in order, failed ones included. LoadLibraryExW's loads are not LoadLibraryExA calls.
const std::vector<LoadCall>& LoadLibraryExACalls();
const std::vector<WideLoadCall>& LoadLibraryExWCalls();
const std::vector<ExportCall>& GetProcAddressCalls();
ModuleCounts Counts(const std::string& module);
// Frees of a handle that the fake never gave out or whose library has no reference left.
int InvalidFrees();
void ResetModules();

} // namespace Tolvane::Util::Os::Fake

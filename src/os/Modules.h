// The OS seam's module loading, with the contract of Windows' kernel32 calls.
#pragma once

#include "os/Handles.h"

#include <Tolvane/Util/Api.h>

#include <cstdint>

// The calling convention of kernel32's functions (WINAPI), spelt without <windows.h>.
#if defined(_WIN32)
#define TOLVANE_OS_WINAPI __stdcall
#else
#define TOLVANE_OS_WINAPI
#endif

namespace Tolvane::Util::Os {

// kernel32's LoadLibraryExW, looked up at run time: HMODULE (WINAPI*)(LPCWSTR, HANDLE, DWORD).
// The name is UTF-16 on Windows and UTF-32 in wchar_t elsewhere; the file handle must be null.
using LoadLibraryExWFunction = ModuleHandle(TOLVANE_OS_WINAPI*)(const wchar_t* name, void* file,
                                                                ULong32 flags);

// Windows reads a name pointer whose value is below 0x10000 as an ordinal (IS_INTRESOURCE);
// null is one of those.
inline bool IsOrdinalName(const char* name)
{
    return reinterpret_cast<std::uintptr_t>(name) < 0x10000U;
}

// LoadLibraryExA(name, NULL, flags): loads the library and raises its reference count, or
// returns null. The name is passed as it is, with the system's search rules. Loading the same
// library again gives the same handle and one more reference.
ModuleHandle LoadLibraryExA(const char* name, std::uint32_t flags);

// GetProcAddress by name: the export's address, or null. The pointer goes to the system
// unchanged, so on Windows an ordinal name (IsOrdinalName) looks up that ordinal.
void* GetProcAddress(ModuleHandle module, const char* name);

// GetProcAddress by ordinal, passed in the low 16 bits of the name pointer: the address or null.
void* GetProcAddress(ModuleHandle module, std::uint16_t ordinal);

// FreeLibrary: gives back one reference; the library is unloaded with the last one. False
// when the system refuses.
bool FreeLibrary(ModuleHandle module);

// FreeLibraryAndExitThread: gives back one reference and ends the calling thread with
// `exitCode`.
[[noreturn]] void FreeLibraryAndExitThread(ModuleHandle module, std::uint32_t exitCode);

} // namespace Tolvane::Util::Os

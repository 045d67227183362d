// win32 backend: kernel32's module loading calls.
#include "os/Modules.h"

#include "os/win32/WindowsApi.h"

#include <type_traits>

namespace Tolvane::Util::Os {

// The seam's wide loader type must be kernel32's, so a pointer looked up at run time is called
// with the right convention and argument types.
static_assert(std::is_same<ULong32, DWORD>::value, "flags are a DWORD");
static_assert(std::is_same<const wchar_t*, LPCWSTR>::value, "names are LPCWSTR");

namespace {

HMODULE ToHandle(ModuleHandle module)
{
    return reinterpret_cast<HMODULE>(module);
}

} // namespace

ModuleHandle LoadLibraryExA(const char* name, std::uint32_t flags)
{
    return reinterpret_cast<ModuleHandle>(::LoadLibraryExA(name, nullptr, flags));
}

void* GetProcAddress(ModuleHandle module, const char* name)
{
    return reinterpret_cast<void*>(::GetProcAddress(ToHandle(module), name));
}

void* GetProcAddress(ModuleHandle module, std::uint16_t ordinal)
{
    // MAKEINTRESOURCEA, without the macro's C cast.
    const LPCSTR name = reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(ordinal));
    return reinterpret_cast<void*>(::GetProcAddress(ToHandle(module), name));
}

bool FreeLibrary(ModuleHandle module)
{
    return ::FreeLibrary(ToHandle(module)) != 0;
}

void FreeLibraryAndExitThread(ModuleHandle module, std::uint32_t exitCode)
{
    ::FreeLibraryAndExitThread(ToHandle(module), exitCode);
}

} // namespace Tolvane::Util::Os

// posix backend: the stand-in for kernel32, so that loading by wide name runs the same
// algorithm here as on Windows: look up kernel32's LoadLibraryExW and call it.
#include "os/posix/Kernel32StandIn.h"

#include "os/Modules.h"
#include "os/posix/Utf8.h"

#include <cstring>
#include <cwchar>
#include <string>

namespace Tolvane::Util::Os::Posix {

namespace {

// Its address is the stand-in's handle: no dlopen handle can be equal to it.
const char s_Kernel32StandIn = 0;

bool EqualIgnoringAsciiCase(const char* text, const char* upper)
{
    for (; *upper != '\0'; ++text, ++upper)
    {
        const char letter =
            (*text >= 'a' && *text <= 'z') ? static_cast<char>(*text - 'a' + 'A') : *text;
        if (letter != *upper)
        {
            return false;
        }
    }
    return *text == '\0';
}

// A wide name that UTF-8 cannot spell (a surrogate, or beyond U+10FFFF) names no file.
bool IsEncodable(const wchar_t* name)
{
    for (; *name != L'\0'; ++name)
    {
        const auto codePoint = static_cast<std::uint32_t>(*name);
        if (codePoint > 0x10FFFFU || (codePoint >= 0xD800U && codePoint <= 0xDFFFU))
        {
            return false;
        }
    }
    return true;
}

ModuleHandle TOLVANE_OS_WINAPI LoadLibraryExW(const wchar_t* name, void* /*file*/, ULong32 flags)
{
    if (name == nullptr || !IsEncodable(name))
    {
        return nullptr;
    }
    try
    {
        const std::size_t length = std::wcslen(name);
        std::string narrow(EncodeUtf8(name, length, nullptr, 0), '\0');
        EncodeUtf8(name, length, &narrow[0], narrow.size());
        return Os::LoadLibraryExA(narrow.c_str(), flags);
    }
    catch (...)
    {
        // Out of memory: the load fails, as kernel32's would.
        return nullptr;
    }
}

} // namespace

bool IsKernel32Name(const char* name)
{
    return EqualIgnoringAsciiCase(name, "KERNEL32.DLL") || EqualIgnoringAsciiCase(name, "KERNEL32");
}

ModuleHandle Kernel32StandIn()
{
    return reinterpret_cast<ModuleHandle>(const_cast<char*>(&s_Kernel32StandIn));
}

void* Kernel32StandInExport(const char* name)
{
    if (std::strcmp(name, "LoadLibraryExW") != 0)
    {
        return nullptr;
    }
    const LoadLibraryExWFunction function = &LoadLibraryExW;
    return reinterpret_cast<void*>(function);
}

} // namespace Tolvane::Util::Os::Posix

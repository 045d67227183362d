// win32 backend: kernel32's code-page conversions, called as they are.
#include "os/CodePages.h"

#include "os/win32/WindowsApi.h"

static_assert(sizeof(wchar_t) == sizeof(WCHAR), "wchar_t is UTF-16 on Windows");
static_assert(sizeof(std::int32_t) == sizeof(BOOL), "BOOL is a 32-bit integer");

namespace Tolvane::Util::Os {

std::int32_t WideCharToMultiByte(std::uint32_t codePage, std::uint32_t flags, const wchar_t* source,
                                 std::int32_t sourceLength, char* destination,
                                 std::int32_t destinationSize, const char* defaultChar,
                                 std::int32_t* usedDefaultChar)
{
    return ::WideCharToMultiByte(codePage, flags, source, sourceLength, destination,
                                 destinationSize, defaultChar,
                                 reinterpret_cast<BOOL*>(usedDefaultChar));
}

std::int32_t MultiByteToWideChar(std::uint32_t codePage, std::uint32_t flags, const char* source,
                                 std::int32_t sourceLength, wchar_t* destination,
                                 std::int32_t destinationSize)
{
    return ::MultiByteToWideChar(codePage, flags, source, sourceLength, destination,
                                 destinationSize);
}

std::uint32_t GetAnsiCodePage()
{
    return ::GetACP();
}

std::uint32_t GetOemCodePage()
{
    return ::GetOEMCP();
}

} // namespace Tolvane::Util::Os

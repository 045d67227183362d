// ASCII digits and the invalid-handle value: pure arithmetic, no locale or table.
#include <Tolvane/Util/Characters.h>

#include <cstdint>

namespace Tolvane::Util {

bool IsDecimalDigit(int character) noexcept
{
    return character >= '0' && character <= '9';
}

bool IsHexadecimalDigit(int character) noexcept
{
    return (character >= '0' && character <= '9') || (character >= 'a' && character <= 'f') ||
           (character >= 'A' && character <= 'F');
}

int DecodeDecimalDigit(int character) noexcept
{
    return character - '0';
}

int DecodeHexadecimalDigit(int character) noexcept
{
    if (character >= 'a' && character <= 'f')
    {
        return character - 'a' + 10;
    }
    if (character >= 'A' && character <= 'F')
    {
        return character - 'A' + 10;
    }
    return character - '0';
}

void* MapInvalidHandleValueToZero(void* handle) noexcept
{
    // INVALID_HANDLE_VALUE is (HANDLE)-1: every bit of the pointer set.
    return reinterpret_cast<std::uintptr_t>(handle) == ~std::uintptr_t{0} ? nullptr : handle;
}

} // namespace Tolvane::Util

// Version queries, digits and handles.
#include <Tolvane/Util/Characters.h>
#include <Tolvane/Util/OperatingSystem.h>

#include <cstdio>

int main()
{
    using namespace Tolvane::Util;
    std::printf("NT line: %s, XP or later: %s\n", IsWindowsNtPlatform() ? "yes" : "no",
                IsWindowsXpOrHigher() ? "yes" : "no");

    // Parse a hexadecimal number with the digit helpers.
    const char* text = "7fA";
    int value = 0;
    for (const char* c = text; *c != '\0' && IsHexadecimalDigit(*c); ++c)
    {
        value = value * 16 + DecodeHexadecimalDigit(*c);
    }
    std::printf("0x%s = %d\n", text, value);

    // INVALID_HANDLE_VALUE (all bits set) becomes null; other handles pass unchanged.
    void* invalid = reinterpret_cast<void*>(~static_cast<std::uintptr_t>(0));
    return value == 0x7FA && MapInvalidHandleValueToZero(invalid) == nullptr ? 0 : 1;
}

// The measured differences between Windows' code-page tables and ICU's, kept as data.
#include "os/posix/CodePageQuirks.h"

#include <cstddef>
#include <iterator>

namespace Tolvane
{
namespace Util
{
namespace Os
{
namespace Posix
{

namespace
{

// Windows gives the holes of these pages private-use code points and maps a few bytes to
// other characters than ICU does.
constexpr WindowsByte Bytes1253[] = {{0xAA, 0xF8F9, 0x00AA}, {0xD2, 0xF8FA, 0}, {0xFF, 0xF8FB, 0}};
constexpr WindowsByte Bytes1255[] = {{0xCA, 0x05BA, 0}, {0xD9, 0xF88D, 0}, {0xDA, 0xF88E, 0},
                                     {0xDB, 0xF88F, 0}, {0xDC, 0xF890, 0}, {0xDD, 0xF891, 0},
                                     {0xDE, 0xF892, 0}, {0xDF, 0xF893, 0}, {0xFB, 0xF894, 0},
                                     {0xFC, 0xF895, 0}, {0xFF, 0xF896, 0}};
constexpr WindowsByte Bytes1257[] = {{0xA1, 0xF8FC, 0}, {0xA5, 0xF8FD, 0}};
constexpr WindowsByte Bytes932[] = {
    {0x80, 0x0080, 0}, {0xA0, 0xF8F0, 0}, {0xFD, 0xF8F1, 0}, {0xFE, 0xF8F2, 0}, {0xFF, 0xF8F3, 0}};
constexpr WindowsByte Bytes437[] = {{0xE6, 0x00B5, 0x03BC}};

} // namespace

const WindowsByte* WindowsBytes(std::uint32_t codePage, std::size_t& count)
{
    switch (codePage)
    {
    case 1253:
        count = std::size(Bytes1253);
        return Bytes1253;
    case 1255:
        count = std::size(Bytes1255);
        return Bytes1255;
    case 1257:
        count = std::size(Bytes1257);
        return Bytes1257;
    case 932:
        count = std::size(Bytes932);
        return Bytes932;
    case 437:
        count = std::size(Bytes437);
        return Bytes437;
    default:
        count = 0;
        return nullptr;
    }
}

bool IsUnmappedOnWindows(std::uint32_t codePage, char32_t c)
{
    // ICU's 932 maps this private-use character to a NEC row-13 cell; Windows does not.
    if (codePage == 932 && c == 0xF86F)
    {
        return true;
    }
    std::size_t count = 0;
    const WindowsByte* bytes = WindowsBytes(codePage, count);
    for (std::size_t i = 0; i < count; ++i)
    {
        if (bytes[i].icu == c && bytes[i].windows != c)
        {
            return true;
        }
    }
    return false;
}

char16_t NarrowDefaultChar(std::uint32_t codePage)
{
    return codePage == 932 ? u'\x30FB' : codePage == 65000 ? u'\xFFFD' : u'?';
}

char32_t UnrotateDecoded(char32_t c)
{
    switch (c)
    {
    case 0x1C:
        return 0x1A;
    case 0x7F:
        return 0x1C;
    case 0x1A:
        return 0x7F;
    default:
        return c;
    }
}

char32_t RotateForEncoding(char32_t c)
{
    switch (c)
    {
    case 0x1A:
        return 0x1C;
    case 0x1C:
        return 0x7F;
    case 0x7F:
        return 0x1A;
    default:
        return c;
    }
}

} // namespace Posix
} // namespace Os
} // namespace Util
} // namespace Tolvane

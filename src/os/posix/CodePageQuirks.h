// Where Windows' code-page tables and ICU's converters disagree, and what Windows does instead.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Tolvane
{
namespace Util
{
namespace Os
{
namespace Posix
{

// A single byte that Windows maps and ICU maps differently or not at all.
struct WindowsByte
{
    unsigned char byte;
    char16_t windows; // Windows' code point, both ways
    char16_t icu;     // ICU's code point for the byte, 0 when ICU rejects it
};

// The bytes of `codePage` that Windows maps otherwise than ICU: `count` entries.
const WindowsByte* WindowsBytes(std::uint32_t codePage, std::size_t& count);

// True when Windows has no mapping from code point `c` in `codePage` although ICU has one.
bool IsUnmappedOnWindows(std::uint32_t codePage, char32_t c);

// The character Windows writes for narrow input that does not decode: U+30FB in 932,
// U+FFFD for UTF-7, '?' elsewhere.
char16_t NarrowDefaultChar(std::uint32_t codePage);

// IBM PC code pages in ICU rotate three control codes (0x1A->U+001C, 0x1C->U+007F,
// 0x7F->U+001A) where Windows maps each to itself. These undo the rotation for such pages.
char32_t UnrotateDecoded(char32_t c);   // ICU's decoded code point -> Windows'
char32_t RotateForEncoding(char32_t c); // Windows' code point -> the one ICU encodes alike

} // namespace Posix
} // namespace Os
} // namespace Util
} // namespace Tolvane

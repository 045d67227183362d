// Windows code pages through ICU converters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace Tolvane
{
namespace Util
{
namespace Os
{
namespace Posix
{

// The outcome of one conversion: `ok` false when the code page has no converter or the
// output did not fit; `length` the units the whole output takes.
struct IcuResult
{
    bool ok;
    std::size_t length;
};

// Converts UTF-32 to code page `codePage`. With best fit allowed, ICU's fallback mappings
// stand in for Windows' best-fit tables. Characters without a mapping become `defaultChar`
// or, when that is null, the code page's own question mark (0x6F on EBCDIC pages), one per
// UTF-16 unit of the character; `usedDefault` is set when that happened.
IcuResult IcuFromWide(std::uint32_t codePage, bool bestFit, const wchar_t* input,
                      std::size_t length, const char* defaultChar, bool& usedDefault, char* output,
                      std::size_t capacity);

// Converts code page `codePage` to UTF-32; bytes that do not decode become the code page's
// default character.
IcuResult IcuToWide(std::uint32_t codePage, const char* input, std::size_t length, wchar_t* output,
                    std::size_t capacity);

} // namespace Posix
} // namespace Os
} // namespace Util
} // namespace Tolvane

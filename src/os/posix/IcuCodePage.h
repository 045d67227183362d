// Windows code pages through ICU converters: the conversions in both directions.
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

// The outcome of one conversion: `ok` false when the code page has no converter or ICU
// failed; `length` the units the whole output takes (more than the capacity when it did not
// fit: then only the first `capacity` units were written).
struct IcuResult
{
    bool ok;
    std::size_t length;
};

// How WideCharToMultiByte was asked to convert.
struct WideOptions
{
    bool bestFit;            // best fit allowed: ICU's fallback mappings stand in for Windows'
    bool compositeCheck;     // WC_COMPOSITECHECK: letter + combining mark pairs are composed
    const char* defaultChar; // the caller's default character, or null for the page's own
};

// Converts UTF-32 to code page `codePage`. Characters without a mapping become the default
// character (the caller's, or the page's question mark: 0x6F on EBCDIC pages), once per
// UTF-16 unit of the character, and so does a best fit that lands on the question mark when
// the caller gave a default character; `usedDefault` tells whether that happened.
IcuResult IcuFromWide(std::uint32_t codePage, const WideOptions& options, const wchar_t* input,
                      std::size_t length, bool& usedDefault, char* output, std::size_t capacity);

// Converts code page `codePage` to UTF-32 as Windows does; bytes that do not decode become
// Windows' default character for the page (U+30FB in 932, '?' elsewhere), and a double-byte
// page's lead byte takes its trail byte along.
IcuResult IcuToWide(std::uint32_t codePage, const char* input, std::size_t length, wchar_t* output,
                    std::size_t capacity);

} // namespace Posix
} // namespace Os
} // namespace Util
} // namespace Tolvane

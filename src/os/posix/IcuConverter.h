// Opening ICU converters for Windows code pages, and what a converter says about its page.
#pragma once

#include <unicode/ucnv.h>

#include <cstdint>
#include <memory>

namespace Tolvane
{
namespace Util
{
namespace Os
{
namespace Posix
{

struct ConverterCloser
{
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};

using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// The converter that stands for code page `codePage`, or null when ICU has none that matches
// Windows: "windows-N" first, then "cpN" (the IBM variants that other names select differ from
// Windows); 28591 is ISO-8859-1. 1200, 1201, 12000 and 12001 (UTF-16 and UTF-32, which no
// narrow string holds) and 20932 and 20949 (whose ICU namesakes are wrong) have none.
Converter OpenConverter(std::uint32_t codePage);

// A finished ICU call: success, or a full output without room for a terminator.
inline bool Succeeded(UErrorCode status)
{
    return U_SUCCESS(status) || status == U_STRING_NOT_TERMINATED_WARNING;
}

// What ICU makes of two probe characters: whether it rotates the IBM PC control codes, and
// the page's question mark ('?' in ASCII-based pages, 0x6F in EBCDIC ones).
struct PageTraits
{
    bool rotated = false;
    char questionMark = '?';
};

// Asks `converter` (and resets it afterwards).
PageTraits ProbePage(UConverter* converter);

} // namespace Posix
} // namespace Os
} // namespace Util
} // namespace Tolvane

// Conversions between wchar_t (UTF-32) and the table code pages, as Windows converts them.
#pragma once

#include "os/posix/CodePageTables.h"

#include <cstddef>
#include <cstdint>

namespace Tolvane::Util::Os::Posix {

// The tables of `codePage`, or null when Windows has no such table page. Inline: both
// conversion calls ask it on every call, and the lookup is shorter than a call.
inline const CodePageTable* FindCodePageTable(std::uint32_t codePage)
{
    const std::uint8_t slot =
        CodePageSlots[(codePage * CodePageSlotMultiplier) >> (32 - CodePageSlotBits)];
    return slot != 0 && CodePageTables[slot - 1].codePage == codePage ? &CodePageTables[slot - 1]
                                                                      : nullptr;
}

// How WideCharToMultiByte was asked to convert.
struct WideOptions
{
    bool bestFit;            // a unit may become a look-alike from the page's best-fit table
    bool compositeCheck;     // WC_COMPOSITECHECK: a base character and a combining one that
                             // compose are written as the composed character when it maps
    const char* defaultChar; // the caller's default character, or null for the page's own
};

// Both functions write at most `capacity` units to `output` and return the number of units
// that the whole conversion produces; with `output` null they only count. A result above
// `capacity` means the output did not fit (writing then stops early).

// Each UTF-16 unit goes through the table on its own (a character above U+FFFF is two
// surrogates, which no page maps), so an unmapped character gets one default per unit; a
// value above U+10FFFF gets one. `usedDefault` tells whether a default character was written
// (also for a best fit onto the page's default character). The first long text on a
// double-byte page makes that page's flat run table (FlatRunCodes.h).
std::size_t TableFromWide(const CodePageTable& page, const WideOptions& options,
                          const wchar_t* input, std::size_t length, bool& usedDefault, char* output,
                          std::size_t capacity);

// A lead byte takes the next byte along when the two form a pair in the table (whether or not
// the pair is a character); bytes that do not decode give the page's narrow default. The first
// long text written from a double-byte page makes that page's flat pairs (FlatPairs.h).
std::size_t TableToWide(const CodePageTable& page, const char* input, std::size_t length,
                        wchar_t* output, std::size_t capacity);

} // namespace Tolvane::Util::Os::Posix

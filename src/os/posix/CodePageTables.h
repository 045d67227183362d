// The tables of Windows' code pages, generated at build time from Windows' own answers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Tolvane::Util::Os::Posix {

// Wide to narrow is two-level: a page's index gives, for each block of WideBlockSize UTF-16
// units, where that block starts in WideCodes, so that blocks that pages share (all of them
// unmapped, ASCII, ...) are stored once.
constexpr unsigned WideBlockShift = 7;
constexpr std::size_t WideBlockSize = std::size_t{1} << WideBlockShift;
constexpr std::size_t WideBlockCount = 0x10000 >> WideBlockShift;

// In a lead byte's row of NarrowPairs: the two bytes are no pair, and each decodes alone.
constexpr std::uint16_t NotAPair = 0xFFFF;

// In the wide-to-narrow tables, in place of a code: the unit has no mapping and takes the
// default character; and, in the run tables only, the unit may compose with the one before it.
// No page has either as a code.
constexpr std::uint16_t NoCode = 0xFFFF;
constexpr std::uint16_t ComposingCode = 0xFFFE;

// The bytes of a code: a lead byte and a trail byte above 0xFF, else one.
inline std::size_t CodeBytes(std::uint16_t code)
{
    return code > 0xFF ? 2 : 1;
}

struct CodePageTable
{
    std::uint32_t codePage;
    // What a unit without a mapping gets: the page's default character, one byte, or a lead
    // byte and a trail byte as (lead << 8) | trail.
    std::uint16_t defaultCode;
    // Bytes 00-7F and U+0000-U+007F map to each other and none is a lead byte.
    bool asciiCompatible;
    // Wide to narrow: WideBlockCount block numbers each, a block's codes starting at
    // WideCodes[number << WideBlockShift]. Each unit's code is written as defaultCode is, or
    // is NoCode. With best fit: a code maps exactly when it decodes back to the unit,
    // otherwise it is a best fit.
    const std::uint16_t* wideBlocks;
    // Without: a unit that maps only by best fit has NoCode here, so that one lookup serves
    // WC_NO_BEST_FIT_CHARS.
    const std::uint16_t* exactBlocks;
    // The two again, where each unit that is the second of a CanonicalPair has ComposingCode:
    // so that a run of lookups stops at a unit that may compose with the one before it, with
    // no test of its own. These give each block's start less its first unit: a unit's code is
    // WideCodes[base[unit >> WideBlockShift] + unit].
    const std::int32_t* wideRunBases;
    const std::int32_t* exactRunBases;
    // 256 units: each byte alone (a lead byte alone gives the page's narrow default).
    const std::uint16_t* narrow;
    // Null for single-byte pages; otherwise 256 offsets into NarrowPairs, where each byte's
    // row of 256 units (one per trail byte) starts. A byte that leads no pair has 0, whose row
    // holds NotAPair throughout; a lead byte pairs with every byte but NUL (the generator
    // checks it).
    const std::uint32_t* leadRows;
    // Null for single-byte pages; otherwise which bytes lead, as two rows of 16 bytes indexed
    // by a byte's low four bits: bit k of the first row's entry stands for the byte whose high
    // four bits are k, of the second row's for k + 8 (the form that a byte shuffle looks up).
    const std::uint8_t* leadBits;
    // The units below U+0100 that map to the byte of their own value without best fit (and so
    // compose with nothing before them), in the form of leadBits: units from U+0080 up stand
    // where bytes with their top bit set do.
    const std::uint8_t* identityBits;
};

extern const std::uint16_t WideCodes[];
extern const std::uint16_t NarrowPairs[];

// A unit's code in a run table (CodePageTable::wideRunBases, exactRunBases), for a unit below
// U+10000. The sum is taken in 32 unsigned bits, where a negative base wraps to the same index,
// so that the index needs no widening of its own.
inline std::uint16_t RunCode(const std::int32_t* bases, std::uint32_t unit)
{
    return WideCodes[static_cast<std::uint32_t>(bases[unit >> WideBlockShift]) + unit];
}

// Sorted by code page.
extern const CodePageTable CodePageTables[];
extern const std::size_t CodePageTableCount;

// A perfect hash of the page numbers: slot (codePage * CodePageSlotMultiplier) >>
// (32 - CodePageSlotBits) holds 1 + the index of the only page that may be there, or 0.
constexpr unsigned CodePageSlotBits = 9;
extern const std::uint32_t CodePageSlotMultiplier;
extern const std::uint8_t CodePageSlots[];

// A base character and a combining character that WC_COMPOSITECHECK turns into one.
struct CanonicalPair
{
    std::uint32_t pair; // (first << 16) | second
    char16_t composed;
};

// Sorted by pair.
extern const CanonicalPair CanonicalPairs[];
extern const std::size_t CanonicalPairCount;
// The lowest second character of any pair: a unit below it composes with nothing before it.
extern const char16_t LowestCombiningUnit;
// Bit (u & 31) of CombiningUnits[u >> 5] is set when unit u is the second of some pair; no
// unit from CombiningUnitLimit up is.
extern const std::uint32_t CombiningUnits[];
extern const char16_t CombiningUnitLimit;
// CombiningSpanCount spans, each a first and a last unit, that hold every combining unit and
// few others, all below U+7FFF: a coarse test that takes many units at once.
constexpr std::size_t CombiningSpanCount = 6;
extern const char16_t CombiningSpans[2 * CombiningSpanCount];

} // namespace Tolvane::Util::Os::Posix

// A double-byte page's run tables as flat arrays, for long texts.
#pragma once

#include "os/posix/CodePageTables.h"

#include <cstdint>

namespace Tolvane::Util::Os::Posix {

// The run table of a page with best fit or without, flat.
struct FlatRun
{
    const std::uint16_t* codes; // 0x10000 codes indexed by unit: one lookup less than the blocks
    // For each unit, the bytes of its code (1 or 2), or FlatRunNoCode or FlatRunComposing:
    // eight units' lengths add up to less than FlatRunNoCode when none is either.
    const std::uint8_t* lengths;
};

constexpr std::uint8_t FlatRunNoCode = 0x40;
constexpr std::uint8_t FlatRunComposing = 0x80;

// The flat run table of `page` (one of CodePageTables) with best fit or without. Made on first
// use and kept until the library unloads, 192 KiB for each page and mode that long text has
// used; both null when the memory is not to be had (the blocks still serve).
FlatRun FlatRunCodes(const CodePageTable& page, bool bestFit);

} // namespace Tolvane::Util::Os::Posix

// A double-byte page's pairs as one flat array, for decoding long texts.
#pragma once

#include "os/posix/CodePageTables.h"

#include <cstdint>
#include <cstring>

namespace Tolvane::Util::Os::Posix {

// The index of the two bytes at `bytes` in a FlatPairs table: the bytes as one 16-bit load
// reads them, in the machine's own byte order.
inline std::uint16_t FlatPairIndex(const unsigned char* bytes)
{
    std::uint16_t index = 0;
    std::memcpy(&index, bytes, sizeof index);
    return index;
}

// For every two bytes, at their FlatPairIndex, the unit that they decode to as a pair, or
// NotAPair: the same answer as the page's lead rows, with one lookup instead of two. Made on
// first use and kept until the library unloads, 128 KiB for each double-byte page (one with
// lead rows) that long text has been decoded from; null when the memory is not to be had.
const std::uint16_t* FlatPairs(const CodePageTable& page);

} // namespace Tolvane::Util::Os::Posix

// Runs of wide units on a double-byte page, eight units a round: the codes are looked up one
// by one, but tested, packed into bytes and stored eight at a time with SSE4.1, where the
// processor has it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Tolvane::Util::Os::Posix {

// Where a round finds each unit's code in a run table: through the page's blocks, or in `flat`
// (when not null), the same codes as one array indexed by unit.
struct RunCodes
{
    const std::int32_t* bases;
    const std::uint16_t* flat;
};

// Both take the units after `i` eight at a time while all eight lie below `end`, are below
// U+10000 and have a code below ComposingCode. `code` holds the code of the unit at `i`, which
// is not yet written or counted; each round writes or counts it and the seven after it, and
// leaves the code of the eighth in `code`. They return the new `i`, which is the old one on a
// processor without SSE4.1: the caller goes on one unit at a time from there, and so also takes
// the round that stopped them.

// Writes each code as a lead and a trail byte above 0xFF, else as one byte. Each round stores
// 16 bytes at `next`, which must have room for them.
std::size_t WriteRounds(const wchar_t* input, std::size_t i, std::size_t end, RunCodes codes,
                        std::uint16_t& code, char*& next);

// Adds the bytes of the codes to `count`.
std::size_t CountRounds(const wchar_t* input, std::size_t i, std::size_t end, RunCodes codes,
                        std::uint16_t& code, std::size_t& count);

} // namespace Tolvane::Util::Os::Posix

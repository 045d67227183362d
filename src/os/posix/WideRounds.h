// Runs of wide units through a page's run table, eight units a round: the codes are looked up
// one by one, but tested, packed into bytes and stored eight at a time with SSE4.1, where the
// processor has it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "os/posix/CpuFeatures.h"

namespace Tolvane::Util::Os::Posix {

// The units of a round.
constexpr unsigned RoundUnits = 8;

// What the rounds need of a page.
struct RoundTables
{
    // Where a round finds each unit's code in the run table: through the page's blocks, or in
    // `flat` (when not null), the same codes as one array indexed by unit.
    const std::int32_t* bases;
    const std::uint16_t* flat;
    const std::uint8_t* lengths; // with `flat`: each unit's bytes, as FlatRun::lengths gives them
    std::uint16_t defaultCode;   // what a unit without a mapping writes
    bool singleByte;             // every code, the default too, is one byte
    bool asciiBlocks;            // the caller copies ASCII blocks on its own: leave long runs to it
};

// What the rounds did with units without a mapping: whether they wrote a default character, and
// whether the code that they left pending is one; and whether they stopped before sixteen ASCII
// units, for the caller to copy.
struct RoundDefaults
{
    bool written = false;
    bool pending = false;
    bool asciiAhead = false;
};

// Both take the units after `i` eight at a time while all eight lie below `end`, are below
// U+10000 and are no ComposingCode in the run table. `code` holds the code of the unit at `i`,
// which is not yet written or counted; each round writes or counts it and the seven after it,
// and leaves the code of the eighth in `code`. A unit without a mapping becomes the default
// code. They return the new `i`, which is the old one on a processor without SSE4.1: the caller
// goes on one unit at a time from there, and so also takes the round that stopped them.

// Writes each code as a lead and a trail byte above 0xFF, else as one byte. Each round stores
// 16 bytes at `next` (8 on a single-byte page), which must have room for them.
std::size_t WriteRounds(const RoundTables& tables, const wchar_t* input, std::size_t i,
                        std::size_t end, std::uint16_t& code, RoundDefaults& defaults, char*& next);

// Adds the bytes of the codes to `count`.
std::size_t CountRounds(const RoundTables& tables, const wchar_t* input, std::size_t i,
                        std::size_t end, std::uint16_t& code, RoundDefaults& defaults,
                        std::size_t& count);

// The rounds of PlainRounds on a page of each kind, for a processor with SSE4.1.
std::size_t PlainSingleByteRounds(const std::int32_t* bases, const wchar_t* input,
                                  std::size_t length, std::size_t room, char* output,
                                  std::size_t& produced);
std::size_t PlainDoubleByteRounds(const std::int32_t* bases, const wchar_t* input,
                                  std::size_t length, std::size_t room, char* output,
                                  std::size_t& produced);

// Eight units at a time from the start of a text of `length` units, while each of them is
// below U+10000 with a code in the run table that `bases` gives (so none takes a default or
// composes with the one before it) and the unit after them does not compose with the last:
// their codes are written at `output`, or counted when it is null, and `produced` receives their
// bytes. Each round needs room for 16 bytes (8 on a single-byte page), of which there are
// `room`. Returns the units taken, a multiple of eight: none on a processor without SSE4.1.
// Inline, so that a short text pays for no call but that of the rounds.
inline std::size_t PlainRounds(const std::int32_t* bases, bool singleByte, const wchar_t* input,
                               std::size_t length, std::size_t room, char* output,
                               std::size_t& produced)
{
    produced = 0;
    if (length < RoundUnits || !HasSse41())
    {
        return 0;
    }
    return singleByte ? PlainSingleByteRounds(bases, input, length, room, output, produced)
                      : PlainDoubleByteRounds(bases, input, length, room, output, produced);
}

} // namespace Tolvane::Util::Os::Posix

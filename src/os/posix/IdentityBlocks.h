// Wide units that stand for the bytes of their own values (ASCII on every ASCII-compatible
// page, Latin-1 letters on several Western ones), sixteen at a time with SSE4.1.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Tolvane::Util::Os::Posix {

constexpr std::size_t IdentityBlockUnits = 16;

// Takes sixteen units at a time from the start of `input` (`length` units) while each of them
// is in `identityBits` (a page's CodePageTable::identityBits) and the unit after them, if any,
// composes with nothing; writes their bytes to `output` unless it is null. At most `room`
// units are taken. Returns the number taken, a multiple of sixteen: none on a processor
// without SSE4.1.
std::size_t IdentityBlocks(const std::uint8_t* identityBits, const wchar_t* input,
                           std::size_t length, std::size_t room, char* output);

} // namespace Tolvane::Util::Os::Posix

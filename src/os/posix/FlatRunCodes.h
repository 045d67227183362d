// A double-byte page's run tables as flat arrays, for long texts.
#pragma once

#include "os/posix/CodePageTables.h"

#include <cstdint>

namespace Tolvane::Util::Os::Posix {

// The run table of `page` (one of CodePageTables) with best fit or without, as 0x10000 codes
// indexed by unit: one lookup less per unit than the blocks. Made on first use and kept until
// the library unloads, 128 KiB for each page and mode that long text has used; null when the
// memory is not to be had (the blocks still serve).
const std::uint16_t* FlatRunCodes(const CodePageTable& page, bool bestFit);

} // namespace Tolvane::Util::Os::Posix

// The sizing pass of a double-byte page's narrow-to-wide conversion: characters counted 64
// bytes at a time, with SSE4.1 where the processor has it.
#pragma once

#include "os/posix/CodePageTables.h"

#include <cstddef>

namespace Tolvane::Util::Os::Posix {

// The characters (UTF-16 units) in `length` bytes on double-byte page `page`: a lead byte and
// the byte after it are one character unless that byte is NUL or the text ends; any other byte
// is one.
std::size_t CountDoubleByteCharacters(const CodePageTable& page, const unsigned char* bytes,
                                      std::size_t length);

} // namespace Tolvane::Util::Os::Posix

// The sizing pass of a double-byte page's narrow-to-wide conversion: characters counted 64
// bytes at a time, with SSE4.1 where the processor has it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Tolvane::Util::Os::Posix {

// The characters (UTF-16 units) in `length` bytes on a double-byte page whose lead bytes are
// those with a row in `leadRows`: a lead byte and the byte after it are one character unless
// that byte is NUL or the text ends; any other byte is one.
std::size_t CountDoubleByteCharacters(const unsigned char* bytes, std::size_t length,
                                      const std::uint32_t* leadRows);

} // namespace Tolvane::Util::Os::Posix

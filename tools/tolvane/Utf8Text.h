// Strict UTF-8 validation, for input that the library would quietly repair.
#pragma once

#include <cstddef>

namespace Tolvane::Tool {

// Length of the well-formed UTF-8 sequence at the start of `data` (1 to 4), or 0 when it is
// ill-formed or cut short by `size`: overlong forms, surrogates and values above U+10FFFF are
// ill-formed.
std::size_t Utf8SequenceLength(const unsigned char* data, std::size_t size);

// The offset of the first byte that does not start a well-formed sequence, or `size`.
std::size_t FindInvalidUtf8(const char* data, std::size_t size);

} // namespace Tolvane::Tool

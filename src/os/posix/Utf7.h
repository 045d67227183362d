// UTF-7 to and from wchar_t (UTF-32), as Windows writes and reads it.
#pragma once

#include <cstddef>

namespace Tolvane::Util::Os::Posix {

// Both functions write at most `capacity` units to `output` (which may be null when the
// capacity is 0) and return the number of units that the whole conversion produces.

// Writes directly only NUL, tab, line feed, carriage return, space, letters, digits and
// ' ( ) , - . / : ?; '+' alone becomes "+-"; every other run is base64 of its UTF-16 units,
// always closed by '-'. Values above U+10FFFF become U+FFFD.
std::size_t EncodeUtf7(const wchar_t* input, std::size_t length, char* output,
                       std::size_t capacity);

// Reads leniently: every byte outside a base64 run stands for itself (8-bit bytes too); a
// run ends at '-' (taken) or at any byte that is not base64, and drops its unfinished bits,
// except that a byte of 0x80 or above keeps them for the next run. UTF-16 pairs combine into
// one code point; lone surrogates pass through as they are.
std::size_t DecodeUtf7(const char* input, std::size_t length, wchar_t* output,
                       std::size_t capacity);

} // namespace Tolvane::Util::Os::Posix

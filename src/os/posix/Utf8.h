// UTF-8 to and from wchar_t (UTF-32), with Windows' treatment of invalid input.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Tolvane::Util::Os::Posix {

// Each function writes at most `capacity` units to `output` (which may be null when the
// capacity is 0) and returns the number of units that the whole conversion produces, so a
// result above `capacity` means the output did not fit. A capacity of 0 only counts, and so
// does the rest of a conversion that has run out of room: what was written is then left
// unfinished.

// Code points that UTF-8 cannot carry (surrogates, values above U+10FFFF) become U+FFFD.
// `invalid` (when given) is set when that happened.
std::size_t EncodeUtf8(const wchar_t* input, std::size_t length, char* output, std::size_t capacity,
                       bool* invalid = nullptr);

// Ill-formed input becomes U+FFFD as on Windows, which is not always once per maximal
// ill-formed subsequence: a surrogate or a value above U+10FFFF gives one U+FFFD for its first
// two bytes and one for each further byte, and a sequence cut short by the end of the input
// gives one U+FFFD for all the bytes that remain.
// `invalid` (when given) is set when the input was ill-formed.
std::size_t DecodeUtf8(const char* input, std::size_t length, wchar_t* output, std::size_t capacity,
                       bool* invalid = nullptr);

} // namespace Tolvane::Util::Os::Posix

// Wide units to UTF-8 sixteen at a time with AVX2, for long texts: encoded, or only counted.
#pragma once

#include <cstddef>

namespace Tolvane::Util::Os::Posix {

// Shorter texts are better left to the unit loops, which need no set-up: fewer units to
// encode, or less room than four bytes each for them, and fewer units to count.
constexpr std::size_t ShortestUtf8Encoded = 16;
constexpr std::size_t ShortestUtf8Counted = 64;

// Encodes blocks of sixteen units from the start of `input` (`length` units) while the output
// has room for 64 more bytes; `written` (the bytes already in `output`, of `capacity`) grows by
// what they give. Units that UTF-8 cannot carry become U+FFFD and set `invalid`. Returns the
// number of units taken: none on a processor without AVX2. Bytes are stored sixteen at a time,
// so bytes past the new `written` may change, within `capacity`.
std::size_t EncodeUtf8Blocks(const wchar_t* input, std::size_t length, char* output,
                             std::size_t capacity, std::size_t& written, bool& invalid);

// Counts the bytes that blocks of sixteen units from the start of `input` give, adding them to
// `count`; sets `invalid` when one of them is a surrogate. Returns the number of units taken:
// none on a processor without AVX2, and none when a unit lies above U+10FFFF.
std::size_t CountUtf8Blocks(const wchar_t* input, std::size_t length, std::size_t& count,
                            bool& invalid);

} // namespace Tolvane::Util::Os::Posix

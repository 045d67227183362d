// The texts every conversion benchmark converts, built at any length in characters.
#pragma once

#include <cstddef>
#include <string>

namespace Tolvane::Bench {

enum class TextKind
{
    Ascii,   // English prose
    Mixed,   // Latin with accents, Greek, CJK, Hangul and emoji (outside the BMP)
    Western, // CP1252 text with look-alikes (best fit) and characters CP1252 lacks
    Japanese // kanji, kana, full-width and ASCII: all of it in CP932
};

// `characters` code points of the kind's sample, repeated; on Windows a code point outside
// the BMP takes two wchar_t.
std::wstring MakeText(TextKind kind, std::size_t characters);

} // namespace Tolvane::Bench

// The cases of the code-page differential test: which calls are made and how each answer is
// recorded.
//
// The dump program (Windows, run under Wine) and the comparison test (Linux) share this file, so
// both sides enumerate exactly the same calls in the same order and record them byte for byte
// alike; a reference dump is then just the concatenated records of one case set.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Tolvane::Util::Differential {

enum class CaseKind
{
    WideBestFit,       // every BMP unit alone, flags 0x220, default character, used-default flag
    WideNoBestFit,     // the same with 0x620
    WideSystemDefault, // every BMP unit alone, flags 0x220, no default-character arguments
    WideComposite,     // base letter + combining mark pairs, flags 0x220, default character
    WideUtf,           // every BMP unit alone, flags 0, no default-character arguments
    Narrow,            // every byte, then (DBCS and UTF pages) every byte pair
    NarrowUtf8Long     // three- and four-byte sequences with a UTF-8 lead byte
};

// One set of calls: a code page and the kind of call made for it.
struct CaseSet
{
    std::uint32_t codePage;
    CaseKind kind;
};

// The default character passed in the cases that pass one. Not '?', so that a substitution
// can be told from a best fit that lands on a question mark.
constexpr char DefaultChar = '~';

// Every case set, in a fixed order.
std::vector<CaseSet> AllCaseSets();

// "1252.wc-0x220" and the like: the reference file's name and the row label.
std::string CaseSetName(const CaseSet& set);

// "wide-to-narrow" or "narrow-to-wide".
const char* DirectionName(CaseKind kind);

// The number of calls in the set.
std::size_t CaseCount(const CaseSet& set);

// The input of call `index`, for people: "U+00E9", "U+0065 U+0301", "bytes 81 40".
std::string DescribeCase(const CaseSet& set, std::size_t index);

// Makes call `index` of `set` through the OS seam and appends its record to `records`:
// a length byte and that many bytes, or the byte 0xFF alone when the call failed. A
// wide-to-narrow record holds the used-default flag (when passed) and the bytes written; a
// narrow-to-wide record holds the UTF-16 units written, little-endian, whatever wchar_t is.
// Returns false when the sizing call (null buffer) disagreed with the converting call.
bool AppendRecord(const CaseSet& set, std::size_t index, std::string& records);

} // namespace Tolvane::Util::Differential

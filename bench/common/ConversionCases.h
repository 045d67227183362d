// The rows of the conversion tables: which text, which encoding, which policy, at which length.
#pragma once

#include "common/Texts.h"

#include <Tolvane/Util/StringConversion.h>

#include <string>
#include <vector>

namespace Tolvane::Bench {

struct ConversionCase
{
    std::string Row;      // "utf8-mixed/16": text and length, the policy where it matters
    std::string Encoding; // the narrow side: "UTF-8", "CP1252", "CP932"
    Util::StringConversion::BestFitMappingPolicy BestFit;
    std::wstring Wide;  // the wide text (the source of wide-to-narrow)
    std::string Narrow; // the library's conversion of Wide (the source of narrow-to-wide)
};

// The lengths of the fixed-size rows, in characters: a short text and a 64 Ki one.
constexpr std::size_t sc_ShortText = 16;
constexpr std::size_t sc_LongText = 64 * 1024;

// Wide-to-narrow rows: UTF-8 ASCII and mixed, CP1252 with best fit allowed and forbidden,
// CP932, each short and long.
std::vector<ConversionCase> WideToNarrowCases();

// Narrow-to-wide rows: UTF-8 ASCII and mixed, CP1252, CP932, each short and long.
std::vector<ConversionCase> NarrowToWideCases();

// One row at any length, for the size sweep.
ConversionCase MakeCase(const std::string& row, TextKind kind, std::size_t characters,
                        const std::string& encoding,
                        Util::StringConversion::BestFitMappingPolicy bestFit);

// The library's calls as the benchmarks make them: '?' as the default character.
bool LibraryToNarrow(const ConversionCase& conversion, std::string& destination);
bool LibraryToWide(const ConversionCase& conversion, std::wstring& destination);

// "64Ki", "16", "1Mi": a count in binary units.
std::string CountLabel(std::size_t count);

} // namespace Tolvane::Bench

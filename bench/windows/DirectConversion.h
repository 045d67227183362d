// The peer on Windows: WideCharToMultiByte and MultiByteToWideChar called directly, two passes.
#pragma once

#include "common/ConversionCases.h"

#include <cstdint>
#include <string>

namespace Tolvane::Bench {

// The code page and flags that the library passes for a row, worked out once beforehand.
struct DirectCall
{
    unsigned CodePage;
    std::uint32_t WideToNarrowFlags; // best fit forbidden adds WC_NO_BEST_FIT_CHARS
    std::uint32_t NarrowToWideFlags; // MB_PRECOMPOSED but on UTF code pages
    bool DefaultChar;                // '?' and a used-default flag, but on UTF code pages
};

DirectCall MakeDirectCall(const ConversionCase& conversion);

// A sizing call, then the conversion straight into `destination` (resized to fit).
bool DirectToNarrow(const DirectCall& call, const std::wstring& source, std::string& destination);
bool DirectToWide(const DirectCall& call, const std::string& source, std::wstring& destination);

} // namespace Tolvane::Bench

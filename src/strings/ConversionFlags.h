// The platform flags and default-character arguments that each conversion passes.
#pragma once

#include <Tolvane/Util/StringConversion.h>

#include "os/CodePages.h"

#include <cstdint>

namespace Tolvane::Util::StringConversion {

constexpr std::uint32_t BestFitAllowedFlags = 0x220;   // WC_COMPOSITECHECK | WC_SEPCHARS
constexpr std::uint32_t BestFitForbiddenFlags = 0x620; // ... | WC_NO_BEST_FIT_CHARS
constexpr std::uint32_t NoBestFitFlag = 0x400;         // WC_NO_BEST_FIT_CHARS
constexpr std::uint32_t PrecomposedFlags = 1;          // MB_PRECOMPOSED

// Whether the system's ANSI (0) or OEM (1) code page is UTF-7 or UTF-8.
bool SystemPageIsUtf(std::uint32_t codePage);

// True when conversions on `codePage` follow the UTF rule: no flags, no default-character
// arguments, policies ignored. That holds for 65000 and 65001, and also for 0 and 1 ("ANSI",
// "OEM") when the system's ANSI or OEM code page is itself UTF-7 or UTF-8, since the platform
// rejects flags and default characters on UTF code pages however they are named. Inline, with
// the selections below, as every conversion asks.
inline bool FollowsUtfRule(std::uint32_t codePage)
{
    if (codePage == Os::CodePageAnsi || codePage == Os::CodePageOem)
    {
        return SystemPageIsUtf(codePage);
    }
    return codePage == Os::CodePageUtf7 || codePage == Os::CodePageUtf8;
}

// What a wide-to-narrow conversion hands the platform.
struct WideToNarrowArguments
{
    std::uint32_t flags;
    bool passDefaultChar; // the default character and the used-default flag, or both null
};

inline WideToNarrowArguments
SelectWideToNarrowArguments(std::uint32_t codePage, BestFitMappingPolicy bestFitMappingPolicy,
                            CharacterSubstitutionPolicy substitutionPolicy)
{
    // Only the value 1 selects the non-default choice of either policy.
    std::uint32_t flags = bestFitMappingPolicy == DisallowBestFitMapping ? BestFitForbiddenFlags
                                                                         : BestFitAllowedFlags;
    bool useSystemDefault = substitutionPolicy == UseSystemDefaultChar;
    if (FollowsUtfRule(codePage))
    {
        flags = 0;
        useSystemDefault = true;
    }
    return WideToNarrowArguments{flags, !useSystemDefault};
}

// The flags of a narrow-to-wide conversion: none on UTF code pages, else MB_PRECOMPOSED.
inline std::uint32_t SelectNarrowToWideFlags(std::uint32_t codePage)
{
    return FollowsUtfRule(codePage) ? 0u : PrecomposedFlags;
}

} // namespace Tolvane::Util::StringConversion

// Flag and argument selection for the platform's conversion calls.
#include "strings/ConversionFlags.h"

#include "os/CodePages.h"

namespace Tolvane::Util::StringConversion {

namespace {

bool IsUtfCodePageNumber(std::uint32_t codePage)
{
    return codePage == Os::CodePageUtf7 || codePage == Os::CodePageUtf8;
}

} // namespace

bool FollowsUtfRule(std::uint32_t codePage)
{
    if (codePage == Os::CodePageAnsi)
    {
        return IsUtfCodePageNumber(Os::GetAnsiCodePage());
    }
    if (codePage == Os::CodePageOem)
    {
        return IsUtfCodePageNumber(Os::GetOemCodePage());
    }
    return IsUtfCodePageNumber(codePage);
}

WideToNarrowArguments SelectWideToNarrowArguments(std::uint32_t codePage,
                                                  BestFitMappingPolicy bestFitMappingPolicy,
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

std::uint32_t SelectNarrowToWideFlags(std::uint32_t codePage)
{
    return FollowsUtfRule(codePage) ? 0u : PrecomposedFlags;
}

} // namespace Tolvane::Util::StringConversion

// Flag and default-character selection per code page and policy, including UTF-8 as the
// system's ANSI or OEM code page.
#include "strings/ConversionFlags.h"
#include "FakeCodePages.h"

#include <gtest/gtest.h>

namespace {

using namespace Tolvane::Util::StringConversion;
namespace Fake = Tolvane::Util::Os::Fake;

TEST(ConversionFlags, WideToNarrowArgumentsFollowCodePageAndPolicies)
{
    Fake::ResetCodePages();
    struct Case
    {
        std::uint32_t codePage;
        int bestFit;
        int substitution;
        std::uint32_t flags;
        bool passDefaultChar;
    };
    const Case cases[] = {{1252, 0, 0, 0x220, true},
                          {1252, 1, 0, 0x620, true},
                          {1252, 0, 1, 0x220, false},
                          {1252, 1, 1, 0x620, false},
                          // Only the value 1 selects the non-default choice.
                          {1252, 2, 2, 0x220, true},
                          {1252, -1, 7, 0x220, true},
                          // ANSI (1252 in the fake) and OEM (437) are no UTF pages.
                          {0, 1, 0, 0x620, true},
                          {1, 0, 1, 0x220, false},
                          // UTF code pages: no flags, no default character, whatever the policies.
                          {65001, 1, 0, 0, false},
                          {65000, 1, 0, 0, false},
                          {65001, 0, 1, 0, false}};
    for (const Case& c : cases)
    {
        const WideToNarrowArguments args =
            SelectWideToNarrowArguments(c.codePage, static_cast<BestFitMappingPolicy>(c.bestFit),
                                        static_cast<CharacterSubstitutionPolicy>(c.substitution));
        EXPECT_EQ(args.flags, c.flags) << c.codePage << " " << c.bestFit << c.substitution;
        EXPECT_EQ(args.passDefaultChar, c.passDefaultChar)
            << c.codePage << " " << c.bestFit << c.substitution;
    }
    // Narrow to wide: precomposed except on UTF code pages.
    for (std::uint32_t codePage : {1252u, 0u, 1u, 65000u, 65001u})
    {
        EXPECT_EQ(SelectNarrowToWideFlags(codePage), codePage >= 65000 ? 0u : 1u) << codePage;
    }
}

TEST(ConversionFlags, UtfSystemCodePageMakesAnsiAndOemFollowTheUtfRule)
{
    Fake::ResetCodePages();
    Fake::CodePages().ansiCodePage = 65001;
    Fake::CodePages().oemCodePage = 65000;
    for (std::uint32_t codePage : {0u, 1u})
    {
        const WideToNarrowArguments args =
            SelectWideToNarrowArguments(codePage, DisallowBestFitMapping, UseSpecifiedDefaultChar);
        EXPECT_EQ(args.flags, 0u) << codePage;
        EXPECT_FALSE(args.passDefaultChar) << codePage;
        EXPECT_EQ(SelectNarrowToWideFlags(codePage), 0u) << codePage;
    }
    // A numbered code page keeps its own rule.
    EXPECT_EQ(SelectWideToNarrowArguments(1252, AllowBestFitMapping, UseSpecifiedDefaultChar).flags,
              0x220u);
}

} // namespace

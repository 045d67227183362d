// Flag and default-character selection per code page and policy, including UTF-8 as the
// system's ANSI or OEM code page.
#include "strings/ConversionFlags.h"
#include "FakeCodePages.h"

#include <gtest/gtest.h>

namespace
{

using namespace Tolvane::Util::StringConversion;
namespace Fake = Tolvane::Util::Os::Fake;

struct FlagCase
{
    std::uint32_t codePage;
    int bestFit;
    int substitution;
    std::uint32_t flags;
    bool passDefaultChar;
};

class SelectsWideToNarrowArguments : public testing::TestWithParam<FlagCase>
{
protected:
    void SetUp() override { Fake::ResetCodePages(); }
};

TEST_P(SelectsWideToNarrowArguments, ForCodePageAndPolicies)
{
    const FlagCase& c = GetParam();
    const WideToNarrowArguments args =
        SelectWideToNarrowArguments(c.codePage, static_cast<BestFitMappingPolicy>(c.bestFit),
                                    static_cast<CharacterSubstitutionPolicy>(c.substitution));
    EXPECT_EQ(args.flags, c.flags);
    EXPECT_EQ(args.passDefaultChar, c.passDefaultChar);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SelectsWideToNarrowArguments,
    testing::Values(FlagCase{1252, 0, 0, 0x220, true}, FlagCase{1252, 1, 0, 0x620, true},
                    FlagCase{1252, 0, 1, 0x220, false}, FlagCase{1252, 1, 1, 0x620, false},
                    // Only the value 1 selects the non-default choice.
                    FlagCase{1252, 2, 2, 0x220, true}, FlagCase{1252, -1, 7, 0x220, true},
                    // ANSI (1252 in the fake) and OEM (437) are no UTF pages.
                    FlagCase{0, 1, 0, 0x620, true}, FlagCase{1, 0, 1, 0x220, false},
                    // UTF code pages: no flags, no default character, whatever the policies.
                    FlagCase{65001, 1, 0, 0, false}, FlagCase{65000, 1, 0, 0, false},
                    FlagCase{65001, 0, 1, 0, false}));

TEST(SelectsNarrowToWideFlags, PrecomposedExceptOnUtfCodePages)
{
    Fake::ResetCodePages();
    EXPECT_EQ(SelectNarrowToWideFlags(1252), 1u);
    EXPECT_EQ(SelectNarrowToWideFlags(0), 1u);
    EXPECT_EQ(SelectNarrowToWideFlags(1), 1u);
    EXPECT_EQ(SelectNarrowToWideFlags(65000), 0u);
    EXPECT_EQ(SelectNarrowToWideFlags(65001), 0u);
}

TEST(UtfSystemCodePage, MakesAnsiAndOemFollowTheUtfRule)
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

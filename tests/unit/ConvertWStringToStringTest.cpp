// Wide-to-narrow conversion: order of checks, flags per policy, the round trip, and outputs
// left alone on every failure.
#include "FakeCodePages.h"
#include "FakeSystemInfo.h"

#include <Tolvane/Util/StringConversion.h>

#include <boost/lexical_cast.hpp>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace
{

using namespace Tolvane::Util::StringConversion;
using Detail::ConvertWStringToString;
namespace Fake = Tolvane::Util::Os::Fake;

class ConvertWStringToStringTest : public testing::Test
{
protected:
    void SetUp() override
    {
        Fake::ResetCodePages();
        Fake::ResetSystemInfo();
    }

    // Converts with every argument spelt out; `used` starts true so that a write shows.
    bool Convert(const std::wstring& source, const std::string& encoding, int bestFit,
                 int substitution, char defaultChar = '#')
    {
        used = true;
        return ConvertWStringToString(
            source, out, "", encoding, static_cast<BestFitMappingPolicy>(bestFit),
            static_cast<CharacterSubstitutionPolicy>(substitution), defaultChar, used);
    }

    std::string out = "untouched";
    bool used = true;
};

TEST_F(ConvertWStringToStringTest, SourceNameIsCheckedFirstEvenForEmptySource)
{
    for (const wchar_t* source : {L"", L"abc"})
    {
        try
        {
            ConvertWStringToString(source, out, "UTF-8", "bogus", AllowBestFitMapping,
                                   UseSpecifiedDefaultChar, '?', used);
            ADD_FAILURE() << "nothing thrown";
        }
        catch (const std::invalid_argument& e)
        {
            EXPECT_STREQ(e.what(), "ConvertWStringToString: invalid source encoding.");
        }
    }
    EXPECT_EQ(out, "untouched");
    EXPECT_TRUE(used);
}

TEST_F(ConvertWStringToStringTest, EmptySourceSucceedsWhateverTheDestinationName)
{
    for (const char* name : {"", "bogus", "CPX", "UTF-16", "CP99999"})
    {
        out = "old";
        EXPECT_TRUE(Convert(L"", name, 1, 0)) << name;
        EXPECT_EQ(out, "") << name;
        EXPECT_FALSE(used) << name;
    }
    EXPECT_TRUE(Fake::WideToNarrowCalls().empty());
    EXPECT_TRUE(Fake::VersionQuerySizes().empty());
}

// Every way to fail leaves `destination` and `usedDefaultChar` as they were.
struct FailureCase
{
    const char* what;
    std::function<void()> script;
    const char* encoding;
    int bestFit;
    const char* invalidArgument; // expected message, or null
    bool badLexicalCast;
};

class FailureLeavesOutputs : public ConvertWStringToStringTest,
                             public testing::WithParamInterface<FailureCase>
{
};

TEST_P(FailureLeavesOutputs, Untouched)
{
    const FailureCase& c = GetParam();
    if (c.script)
    {
        c.script();
    }
    if (c.invalidArgument != nullptr)
    {
        try
        {
            Convert(L"a\x0100", c.encoding, c.bestFit, 0);
            ADD_FAILURE() << "nothing thrown";
        }
        catch (const std::invalid_argument& e)
        {
            EXPECT_STREQ(e.what(), c.invalidArgument);
        }
    }
    else if (c.badLexicalCast)
    {
        EXPECT_THROW(Convert(L"a\x0100", c.encoding, c.bestFit, 0), boost::bad_lexical_cast);
    }
    else
    {
        EXPECT_FALSE(Convert(L"a\x0100", c.encoding, c.bestFit, 0));
    }
    EXPECT_EQ(out, "untouched");
    EXPECT_TRUE(used);
}

const auto kFailures = testing::Values(
    FailureCase{"unrecognised destination", nullptr, "ansi", 0,
                "ConvertWStringToString: invalid destination encoding.", false},
    FailureCase{"UTF-16 as destination", nullptr, "UTF-16", 0,
                "ConvertWStringToString: invalid destination encoding.", false},
    FailureCase{"malformed CP number", nullptr, "CP 1252", 0, nullptr, true},
    FailureCase{"unknown code page", nullptr, "CP99999", 0, nullptr, false},
    FailureCase{"platform fails sizing",
                [] { Fake::CodePages().wideToNarrowOverride = [](std::size_t) { return 0; }; },
                "CP1252", 0, nullptr, false},
    FailureCase{"platform fails converting",
                []
                {
                    Fake::CodePages().wideToNarrowOverride = [](std::size_t call)
                    { return call == 1 ? std::optional<std::int32_t>(0) : std::nullopt; };
                },
                "CP1252", 1, nullptr, false},
    FailureCase{"round trip meets a best fit",
                [] { Fake::SystemInfo().version = Fake::MakeVersion(1, 4, 0); }, "CP1252", 1,
                nullptr, false},
    FailureCase{"round trip back conversion fails",
                []
                {
                    Fake::SystemInfo().version = Fake::MakeVersion(1, 4, 0);
                    Fake::CodePages().narrowToWideOverride = [](std::size_t) { return 0; };
                },
                "CP1252", 1, nullptr, false});

INSTANTIATE_TEST_SUITE_P(Table, FailureLeavesOutputs, kFailures,
                         [](const testing::TestParamInfo<FailureCase>& param)
                         {
                             std::string name = param.param.what;
                             for (char& c : name)
                             {
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });

struct PolicyCase
{
    const char* encoding;
    int bestFit;
    int substitution;
    std::uint32_t codePage;
    std::uint32_t flags;
    bool defaultCharPassed;
    std::string expected;
    bool used;
};

class AppliesPolicies : public ConvertWStringToStringTest,
                        public testing::WithParamInterface<PolicyCase>
{
};

TEST_P(AppliesPolicies, ToFlagsArgumentsAndResult)
{
    const PolicyCase& c = GetParam();
    // U+0100 has a best fit ('A') in the fake's 1252; U+4E2D has nothing at all.
    ASSERT_TRUE(Convert(L"x\x0100\x4E2D", c.encoding, c.bestFit, c.substitution));
    EXPECT_EQ(out, c.expected);
    EXPECT_EQ(used, c.used);
    ASSERT_EQ(Fake::WideToNarrowCalls().size(), 2u);
    for (const auto& call : Fake::WideToNarrowCalls())
    {
        EXPECT_EQ(call.codePage, c.codePage);
        EXPECT_EQ(call.flags, c.flags);
        EXPECT_EQ(call.defaultChar.has_value(), c.defaultCharPassed);
        EXPECT_EQ(call.usedDefaultGiven, c.defaultCharPassed);
        if (call.defaultChar)
        {
            EXPECT_EQ(*call.defaultChar, "#");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, AppliesPolicies,
    testing::Values(PolicyCase{"CP1252", 0, 0, 1252, 0x220, true, "xA#", true},
                    PolicyCase{"CP1252", 1, 0, 1252, 0x620, true, "x##", true},
                    // The system default: the fake writes '?', and replacement is not reported.
                    PolicyCase{"CP1252", 0, 1, 1252, 0x220, false, "xA?", false},
                    PolicyCase{"CP1252", 1, 1, 1252, 0x620, false, "x??", false},
                    // Only the value 1 selects the non-default choice.
                    PolicyCase{"CP1252", 2, 2, 1252, 0x220, true, "xA#", true},
                    PolicyCase{"", 1, 0, 0, 0x620, true, "x##", true},
                    PolicyCase{"ANSI", 1, 0, 0, 0x620, true, "x##", true},
                    // UTF-8: no flags, no default character, nothing reported.
                    PolicyCase{"UTF-8", 1, 0, 65001, 0, false, "x\xC4\x80\xE4\xB8\xAD", false},
                    PolicyCase{"CP65001", 0, 0, 65001, 0, false, "x\xC4\x80\xE4\xB8\xAD", false}));

TEST_F(ConvertWStringToStringTest, ExactTextReportsNoDefaultCharacter)
{
    ASSERT_TRUE(Convert(L"caf\x00E9 \x20AC", "CP1252", 1, 0));
    EXPECT_EQ(out, "caf\xE9 \x80");
    EXPECT_FALSE(used);
}

TEST_F(ConvertWStringToStringTest, SourceNamesEmptyAndUtf16AreAlike)
{
    std::string viaEmpty;
    std::string viaUtf16;
    bool usedA = true;
    bool usedB = true;
    ASSERT_TRUE(ConvertWStringToString(L"ab\x0100", viaEmpty, "", "CP1252", AllowBestFitMapping,
                                       UseSpecifiedDefaultChar, '?', usedA));
    ASSERT_TRUE(ConvertWStringToString(L"ab\x0100", viaUtf16, "UTF-16", "CP1252",
                                       AllowBestFitMapping, UseSpecifiedDefaultChar, '?', usedB));
    EXPECT_EQ(viaEmpty, "abA");
    EXPECT_EQ(viaUtf16, viaEmpty);
    EXPECT_EQ(usedA, usedB);
}

TEST_F(ConvertWStringToStringTest, EmbeddedNulBecomesAZeroByte)
{
    ASSERT_TRUE(Convert(std::wstring(L"a\0b", 3), "ANSI", 0, 0));
    EXPECT_EQ(out, std::string("a\0b", 3));
}

TEST_F(ConvertWStringToStringTest, VersionIsAskedOnlyWhenBestFitIsForbiddenOnANonUtfPage)
{
    Convert(L"a", "CP1252", 0, 0);
    Convert(L"a", "UTF-8", 1, 0);
    Convert(L"", "CP1252", 1, 0);
    EXPECT_TRUE(Fake::VersionQuerySizes().empty());
    Convert(L"a", "CP1252", 1, 1);
    Convert(L"a", "OEM", 1, 0);
    EXPECT_EQ(Fake::VersionQuerySizes().size(), 2u);
}

// Windows 95 (platform 1, version 4.0) cannot forbid best fit: the text must survive a round
// trip through best-fit conversion instead.
class RoundTripPath : public ConvertWStringToStringTest
{
protected:
    void SetUp() override
    {
        ConvertWStringToStringTest::SetUp();
        Fake::SystemInfo().version = Fake::MakeVersion(1, 4, 0);
    }
};

TEST_F(RoundTripPath, ExactTextGivesTheDirectResult)
{
    ASSERT_TRUE(Convert(L"caf\x00E9 \x20AC", "CP1252", 1, 0));
    EXPECT_EQ(out, "caf\xE9 \x80");
    EXPECT_FALSE(used);

    // Four platform calls: sizing and converting each way, best fit allowed, MB_PRECOMPOSED.
    ASSERT_EQ(Fake::WideToNarrowCalls().size(), 2u);
    ASSERT_EQ(Fake::NarrowToWideCalls().size(), 2u);
    for (const auto& call : Fake::WideToNarrowCalls())
    {
        EXPECT_EQ(call.flags, 0x220u);
        EXPECT_EQ(call.defaultChar, std::optional<std::string>("#"));
    }
    for (const auto& call : Fake::NarrowToWideCalls())
    {
        EXPECT_EQ(call.codePage, 1252u);
        EXPECT_EQ(call.flags, 1u);
        EXPECT_EQ(call.source, "caf\xE9 \x80");
    }
}

TEST_F(RoundTripPath, AnySubstitutionFails)
{
    for (const wchar_t* text : {L"\x0100", L"\x4E2D", L"ok\x221E"})
    {
        EXPECT_FALSE(Convert(text, "CP1252", 1, 0));
        EXPECT_FALSE(Convert(text, "CP1252", 1, 1));
        EXPECT_EQ(out, "untouched");
        EXPECT_TRUE(used);
    }
}

TEST_F(RoundTripPath, IsNotTakenWhenBestFitIsAllowed)
{
    ASSERT_TRUE(Convert(L"\x0100", "CP1252", 0, 0));
    EXPECT_EQ(out, "A");
    EXPECT_TRUE(Fake::NarrowToWideCalls().empty());
}

TEST_F(ConvertWStringToStringTest, Utf8SystemCodePageMakesDefaultNamesFollowTheUtfRule)
{
    // Windows refuses flags and default characters on UTF-8, and so does the fake: with the
    // UTF-8 system option the default names must still convert.
    Fake::CodePages().ansiCodePage = 65001;
    Fake::CodePages().oemCodePage = 65001;
    for (const char* name : {"", "ANSI", "OEM"})
    {
        ASSERT_TRUE(Convert(L"\x00E9\x4E2D", name, 1, 0)) << name;
        EXPECT_EQ(out, "\xC3\xA9\xE4\xB8\xAD") << name;
        EXPECT_FALSE(used) << name;
        EXPECT_EQ(Fake::WideToNarrowCalls().back().flags, 0u) << name;
        EXPECT_FALSE(Fake::WideToNarrowCalls().back().defaultChar.has_value()) << name;
    }
    EXPECT_TRUE(Fake::VersionQuerySizes().empty());
}

} // namespace

// Wide-to-narrow conversion: order of checks, flags per policy, the round trip, and outputs
// left alone on every failure.
#include "FakeCodePages.h"
#include "FakeSystemInfo.h"

#include <Tolvane/Util/StringConversion.h>

#include <boost/lexical_cast.hpp>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace {

using namespace Tolvane::Util::StringConversion;
using Detail::ConvertWStringToString;
namespace Fake = Tolvane::Util::Os::Fake;

const char* const InvalidSource = "ConvertWStringToString: invalid source encoding.";
const char* const InvalidDestination = "ConvertWStringToString: invalid destination encoding.";

class ConvertWStringToStringTest : public testing::Test
{
protected:
    void SetUp() override
    {
        Fake::ResetCodePages();
        Fake::ResetSystemInfo();
    }

    // Converts with every argument spelt out; `used` starts true so that a write shows.
    // Gives "true", "false", an invalid_argument's message or "bad_lexical_cast".
    std::string Convert(const std::wstring& source, const std::string& encoding, int bestFit,
                        int substitution, const char* sourceEncoding = "")
    {
        used = true;
        try
        {
            return ConvertWStringToString(source, out, sourceEncoding, encoding,
                                          static_cast<BestFitMappingPolicy>(bestFit),
                                          static_cast<CharacterSubstitutionPolicy>(substitution),
                                          '#', used)
                       ? "true"
                       : "false";
        }
        catch (const std::invalid_argument& e)
        {
            return e.what();
        }
        catch (const boost::bad_lexical_cast&)
        {
            return "bad_lexical_cast";
        }
    }

    std::string out = "untouched";
    bool used = true;
};

// Every way to fail leaves `destination` and `usedDefaultChar` as they were.
TEST_F(ConvertWStringToStringTest, EveryFailureLeavesTheOutputsUntouched)
{
    struct Case
    {
        const char* what;
        const wchar_t* source;
        const char* sourceEncoding;
        const char* encoding;
        int bestFit;
        std::function<void()> script;
        std::string outcome;
    };
    const auto win95 = [] { Fake::SystemInfo().version = Fake::MakeVersion(1, 4, 0); };
    const Case cases[] = {
        // The source name is checked first, even before the empty-source short cut.
        {"bad source name", L"", "bogus", "UTF-8", 0, nullptr, InvalidSource},
        {"bad source name", L"abc", "bogus", "UTF-8", 0, nullptr, InvalidSource},
        {"unrecognised destination", L"a\x0100", "", "ansi", 0, nullptr, InvalidDestination},
        {"UTF-16 destination", L"a\x0100", "", "UTF-16", 0, nullptr, InvalidDestination},
        {"malformed CP number", L"a\x0100", "", "CP 1252", 0, nullptr, "bad_lexical_cast"},
        {"unknown code page", L"a\x0100", "", "CP99999", 0, nullptr, "false"},
        {"platform fails sizing", L"a\x0100", "", "CP1252", 0,
         [] { Fake::CodePages().wideToNarrowOverride = [](std::size_t) { return 0; }; }, "false"},
        {"platform fails converting", L"a\x0100", "", "CP1252", 1,
         [] {
             Fake::CodePages().wideToNarrowOverride = [](std::size_t call) {
                 return call == 1 ? std::optional<std::int32_t>(0) : std::nullopt;
             };
         },
         "false"},
        {"round trip meets a best fit", L"a\x0100", "", "CP1252", 1, win95, "false"},
        {"round trip back conversion fails", L"a\x0100", "", "CP1252", 1,
         [&] {
             win95();
             Fake::CodePages().narrowToWideOverride = [](std::size_t) { return 0; };
         },
         "false"}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        SetUp();
        if (c.script)
        {
            c.script();
        }
        out = "untouched";
        EXPECT_EQ(Convert(c.source, c.encoding, c.bestFit, 0, c.sourceEncoding), c.outcome);
        EXPECT_EQ(out, "untouched");
        EXPECT_TRUE(used);
    }
}

TEST_F(ConvertWStringToStringTest, EmptySourceSucceedsWhateverTheDestinationName)
{
    for (const char* name : {"", "bogus", "CPX", "UTF-16", "CP99999"})
    {
        out = "old";
        EXPECT_EQ(Convert(L"", name, 1, 0), "true") << name;
        EXPECT_EQ(out, "") << name;
        EXPECT_FALSE(used) << name;
    }
    EXPECT_TRUE(Fake::WideToNarrowCalls().empty());
    EXPECT_TRUE(Fake::VersionQuerySizes().empty());
}

TEST_F(ConvertWStringToStringTest, PoliciesSelectFlagsDefaultCharacterAndResult)
{
    struct Case
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
    const Case cases[] = {
        {"CP1252", 0, 0, 1252, 0x220, true, "xA#", true},
        {"CP1252", 1, 0, 1252, 0x620, true, "x##", true},
        // The system default: the fake writes '?', and replacement is not reported.
        {"CP1252", 0, 1, 1252, 0x220, false, "xA?", false},
        {"CP1252", 1, 1, 1252, 0x620, false, "x??", false},
        // Only the value 1 selects the non-default choice.
        {"CP1252", 2, 2, 1252, 0x220, true, "xA#", true},
        {"", 1, 0, 0, 0x620, true, "x##", true},
        {"ANSI", 1, 0, 0, 0x620, true, "x##", true},
        // UTF-8: no flags, no default character, nothing reported.
        {"UTF-8", 1, 0, 65001, 0, false, "x\xC4\x80\xE4\xB8\xAD", false},
        {"CP65001", 0, 0, 65001, 0, false, "x\xC4\x80\xE4\xB8\xAD", false}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.encoding << " " << c.bestFit << c.substitution);
        Fake::ResetCodePages();
        // U+0100 has a best fit ('A') in the fake's 1252; U+4E2D has nothing at all.
        ASSERT_EQ(Convert(L"x\x0100\x4E2D", c.encoding, c.bestFit, c.substitution), "true");
        EXPECT_EQ(out, c.expected);
        EXPECT_EQ(used, c.used);
        ASSERT_EQ(Fake::WideToNarrowCalls().size(), 2u);
        for (const auto& call : Fake::WideToNarrowCalls())
        {
            EXPECT_EQ(call.codePage, c.codePage);
            EXPECT_EQ(call.flags, c.flags);
            EXPECT_EQ(call.defaultChar,
                      c.defaultCharPassed ? std::optional<std::string>("#") : std::nullopt);
            EXPECT_EQ(call.usedDefaultGiven, c.defaultCharPassed);
        }
    }
}

TEST_F(ConvertWStringToStringTest, ExactTextWithAnySourceNameAndEmbeddedNul)
{
    for (const char* sourceName : {"", "UTF-16"})
    {
        ASSERT_EQ(Convert(L"caf\x00E9 \x20AC", "CP1252", 1, 0, sourceName), "true");
        EXPECT_EQ(out, "caf\xE9 \x80") << sourceName;
        EXPECT_FALSE(used) << "exact text reports no default character";
    }
    ASSERT_EQ(Convert(std::wstring(L"a\0b", 3), "ANSI", 0, 0), "true");
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

TEST_F(ConvertWStringToStringTest, Utf8SystemCodePageMakesDefaultNamesFollowTheUtfRule)
{
    // Windows refuses flags and default characters on UTF-8, and so does the fake: with the
    // UTF-8 system option the default names must still convert.
    Fake::CodePages().ansiCodePage = 65001;
    Fake::CodePages().oemCodePage = 65001;
    for (const char* name : {"", "ANSI", "OEM"})
    {
        ASSERT_EQ(Convert(L"\x00E9\x4E2D", name, 1, 0), "true") << name;
        EXPECT_EQ(out, "\xC3\xA9\xE4\xB8\xAD") << name;
        EXPECT_FALSE(used) << name;
        EXPECT_EQ(Fake::WideToNarrowCalls().back().flags, 0u) << name;
        EXPECT_FALSE(Fake::WideToNarrowCalls().back().defaultChar.has_value()) << name;
    }
    EXPECT_TRUE(Fake::VersionQuerySizes().empty());
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
    ASSERT_EQ(Convert(L"caf\x00E9 \x20AC", "CP1252", 1, 0), "true");
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

TEST_F(RoundTripPath, AnySubstitutionFailsAndAllowedBestFitSkipsIt)
{
    for (const wchar_t* text : {L"\x0100", L"\x4E2D", L"ok\x221E"})
    {
        for (int substitution : {0, 1})
        {
            EXPECT_EQ(Convert(text, "CP1252", 1, substitution), "false");
            EXPECT_EQ(out, "untouched");
            EXPECT_TRUE(used);
        }
    }
    Fake::ResetCodePages();
    ASSERT_EQ(Convert(L"\x0100", "CP1252", 0, 0), "true");
    EXPECT_EQ(out, "A");
    EXPECT_TRUE(Fake::NarrowToWideCalls().empty());
}

} // namespace

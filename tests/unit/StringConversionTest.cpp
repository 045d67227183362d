// Encoding names, and the conversion entry points on the fake platform: order of checks, the
// platform's arguments for each policy and code page, the round trip, outputs kept on failure.
#include "FakeCodePages.h"
#include "FakeSystemInfo.h"
#include "strings/BestFitSupport.h"
#include "strings/ConvertString.h"
#include "strings/EncodingName.h"
#include "support/Messages.h"

#include <Tolvane/Exception.h>

#include <boost/lexical_cast.hpp>
#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>
#include <typeinfo>
#include <utility>

namespace {

using namespace Tolvane::Util::StringConversion;
namespace Fake = Tolvane::Util::Os::Fake;

// The message of boost::bad_lexical_cast, thrown for a "CP" number that does not parse.
const std::string BadNumber = boost::bad_lexical_cast().what();

// Gives "true", "false", or the message of what the conversion throws.
template <typename Conversion>
std::string Outcome(Conversion convert)
{
    bool converted = false;
    const std::string thrown =
        Tolvane::Testing::MessageOf<std::exception>([&] { converted = convert(); });
    return thrown != "(nothing thrown)" ? thrown : converted ? "true" : "false";
}

// Converts wide to narrow with '#' as the default character.
std::string ToNarrow(const std::wstring& text, const char* from, const char* to, int bestFit,
                     int substitution, std::string& out, bool& used)
{
    return Outcome([&] {
        return Detail::ConvertWStringToString(
            text, out, from, to, static_cast<BestFitMappingPolicy>(bestFit),
            static_cast<CharacterSubstitutionPolicy>(substitution), '#', used);
    });
}

TEST(EncodingName, NamesResolveExactlyToTheirCodePage)
{
    // Signs are taken as unsigned parsing takes them.
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"", 0},           {"ANSI", 0},         {"OEM", 1},
        {"UTF-7", 65000},  {"UTF-8", 65001},    {"CP1252", 1252},
        {"CP0", 0},        {"CP-1", ~0u},       {"CP4294967295", ~0u},
        {"CP+1252", 1252}, {"CP000000937", 937}};
    for (const auto& [name, codePage] : cases)
    {
        EXPECT_EQ(ResolveCodePage(name), codePage) << name;
    }
    // Matching is exact and case-sensitive; "CP" alone is no number, UTF-16 names the wide side
    // (which the conversions check: exactly "" or "UTF-16").
    for (const char* name :
         {"ansi", "cp1", "UTF8", "Oem", "ANSI ", "CP", "C", "UTF-16", "xP1", "Cx1"})
    {
        EXPECT_EQ(ResolveCodePage(name), std::nullopt) << name;
    }
    for (const char* name : {"CPX", "CP 1252", "CP1252 ", "CP12:5", "CP4294967296", "CP0x10"})
    {
        EXPECT_THROW(ResolveCodePage(name), boost::bad_lexical_cast) << name;
    }
}

// Scripts: 1 the sizing call fails, 2 the converting call fails, 3 Windows 95 (which cannot
// forbid best fit), 4 Windows 95 and the conversion back fails.
TEST(ConvertWStringToString, FailuresLeaveTheOutputsAndAnEmptySourceSkipsTheDestinationName)
{
    const char* const source = "ConvertWStringToString: invalid source encoding.";
    const char* const destination = "ConvertWStringToString: invalid destination encoding.";
    const std::tuple<const wchar_t*, const char*, const char*, int, const char*> cases[] = {
        {L"", "UTF-8", "UTF-8", 0, source},         {L"a", "", "ansi", 0, destination},
        {L"a", "UTF-16", "UTF-16", 0, destination}, {L"a", "", "CP 1", 0, BadNumber.c_str()},
        {L"a", "", "CP99999", 0, "false"},          {L"a", "", "CP1252", 1, "false"},
        {L"a", "", "CP1252", 2, "false"},           {L"a\x0100", "", "CP1252", 3, "false"},
        {L"a", "", "CP1252", 4, "false"},           {L"", "UTF-16", "bogus", 0, "true"}};
    for (const auto& [text, from, to, script, outcome] : cases)
    {
        Fake::ResetCodePages();
        Fake::CodePages().wideToNarrowOverride = [script = script](std::size_t call) {
            return script == 1 || (script == 2 && call == 1) ? std::optional<std::int32_t>(0)
                                                             : std::nullopt;
        };
        if (script == 4)
        {
            Fake::CodePages().narrowToWideOverride = [](std::size_t) { return 0; };
        }
        Fake::SystemInfo().version = Fake::MakeVersion(script >= 3 ? 1 : 2, 4, 0);
        std::string out = "untouched";
        bool used = true;
        EXPECT_EQ(ToNarrow(text, from, to, 1, 0, out, used), outcome) << to << script;
        const bool converted = std::string(outcome) == "true";
        EXPECT_EQ(out, converted ? "" : "untouched") << to << script;
        EXPECT_EQ(used, !converted) << to << script;
    }
    EXPECT_EQ(Fake::WideToNarrowCalls().size(), 0u) << "the empty source reaches no platform";
}

// The policies pick flags and default character, except where the UTF rule applies: on UTF
// code pages, and on "ANSI" and "OEM" where the system's code page is UTF-7 or UTF-8.
TEST(ConvertWStringToString, PoliciesAndCodePageSelectThePlatformArguments)
{
    // Destination, best fit, substitution, ANSI and OEM code pages; code page, flags and
    // whether a default character is passed; result.
    using Case = std::tuple<const char*, int, int, std::uint32_t, std::uint32_t, std::uint32_t,
                            std::uint32_t, bool, const char*>;
    const Case cases[] = {{"CP1252", 0, 0, 1252, 437, 1252, 0x220, true, "xA#"},
                          {"CP1252", 1, 0, 1252, 437, 1252, 0x620, true, "x##"},
                          {"CP1252", 0, 1, 1252, 437, 1252, 0x220, false, "xA?"},
                          {"CP1252", 2, 2, 1252, 437, 1252, 0x220, true, "xA#"},
                          {"UTF-8", 1, 0, 1252, 437, 65001, 0, false, "xA?"},
                          {"UTF-7", 1, 0, 1252, 437, 65000, 0, false, "xA?"},
                          {"", 1, 0, 65001, 437, 0, 0, false, "xA?"},
                          {"", 1, 0, 1252, 65001, 0, 0x620, true, "x##"},
                          {"OEM", 1, 0, 1252, 65000, 1, 0, false, "xA?"},
                          {"OEM", 1, 0, 65001, 437, 1, 0x620, true, "x##"}};
    for (const auto& [to, bestFit, substitution, ansi, oem, codePage, flags, passed, expected] :
         cases)
    {
        SCOPED_TRACE(testing::Message() << to << " " << bestFit << substitution << ansi << oem);
        Fake::ResetCodePages();
        Fake::CodePages().ansiCodePage = ansi;
        Fake::CodePages().oemCodePage = oem;
        std::string out;
        bool used = !passed;
        ASSERT_EQ(ToNarrow(L"x\x0100\x4E2D", "", to, bestFit, substitution, out, used), "true");
        ASSERT_EQ(Fake::WideToNarrowCalls().size(), 2u);
        const Fake::ConversionCall& call = Fake::WideToNarrowCalls()[1];
        // A default character is reported only when one was passed and used.
        EXPECT_EQ(std::make_tuple(out, used, call.codePage, call.flags,
                                  call.defaultChar.has_value(), call.usedDefaultGiven),
                  std::make_tuple(std::string(expected), passed, codePage, flags, passed, passed));
    }
}

// Where best fit cannot be forbidden the text must survive a round trip through best-fit
// conversion instead, and then reports no default character.
TEST(ConvertWStringToString, RoundTripWhereBestFitCannotBeForbidden)
{
    // Platform, major, minor, supported: only the Windows 95 line before 4.10 lacks it.
    const std::uint32_t versions[][4] = {{1, 4, 0, 0}, {1, 4, 9, 0}, {1, 4, 10, 1}, {1, 3, 0, 1},
                                         {1, 5, 0, 1}, {2, 4, 0, 1}, {0, 4, 0, 1}};
    for (const auto& v : versions)
    {
        Fake::SystemInfo().version = Fake::MakeVersion(v[0], v[1], v[2]);
        EXPECT_EQ(IsBestFitSuppressionSupported(), v[3] != 0) << v[0] << " " << v[1] << "." << v[2];
    }
    EXPECT_EQ(Fake::VersionQuerySizes(), std::vector<std::uint32_t>(std::size(versions), 148));
    Fake::SystemInfo().version.reset(); // a failing query counts as Windows 95
    std::string out;
    bool used = true;
    ASSERT_EQ(ToNarrow(L"caf\x00E9", "", "CP1252", 1, 0, out, used), "true");
    EXPECT_EQ(std::tie(out, used), std::make_tuple("caf\xE9", false));
    const Fake::ConversionCall& there = Fake::WideToNarrowCalls().at(1);
    const Fake::ConversionCall& back = Fake::NarrowToWideCalls().at(1);
    EXPECT_EQ(std::make_tuple(there.flags, there.defaultChar, back.codePage, back.flags),
              std::make_tuple(0x220u, std::optional<std::string>("#"), 1252u, 1u));
    // Where best fit is allowed there is nothing to check.
    ASSERT_EQ(ToNarrow(L"\x0100", "", "CP1252", 0, 0, out, used), "true");
    EXPECT_EQ(out, "A");
    EXPECT_EQ(Fake::NarrowToWideCalls().size(), 2u);
}

TEST(ConvertString, ReturnsTheTextOrThrowsNamingBothTypes)
{
    EXPECT_EQ(ConvertString(L"x\x0100\x4E2D", "", "CP1252", DisallowBestFitMapping,
                            UseSpecifiedDefaultChar),
              "x??");
    EXPECT_EQ(Tolvane::Testing::MessageOf<Tolvane::ConvertStringException>([] {
                  return ConvertString(L"a", "", "CP99999", AllowBestFitMapping,
                                       UseSpecifiedDefaultChar);
              }),
              std::string("String conversion from (") + typeid(std::wstring).name() + ") to (" +
                  typeid(std::string).name() + ") failed.");
    EXPECT_THROW(ConvertString(L"a", "", "bogus", AllowBestFitMapping, UseSpecifiedDefaultChar),
                 std::invalid_argument);
}

TEST(ConvertStringToWString, ChecksNamesFirstAndPassesCodePageAndFlags)
{
    const char* const destination = "ConvertStringToWString: invalid destination encoding.";
    const char* const source = "ConvertStringToWString: invalid source encoding.";
    // Source, source name, destination name, outcome: the destination name comes first, even
    // before the empty-source short cut.
    const char* const cases[][4] = {
        {"", "UTF-8", "CPX", destination}, {"a", "ansi", "utf-16", destination},
        {"a", "ansi", "UTF-16", source},   {"a", "CP 1", "", BadNumber.c_str()},
        {"a", "CP99999", "", "false"},     {"", "bogus", "UTF-16", "true"}};
    for (const auto& c : cases)
    {
        const char* const outcome = c[3];
        std::wstring out = L"untouched";
        EXPECT_EQ(Outcome([&] { return Detail::ConvertStringToWString(c[0], out, c[1], c[2]); }),
                  outcome)
            << c[1] << " to " << c[2];
        EXPECT_EQ(out, std::string(outcome) == "true" ? L"" : L"untouched") << c[1];
    }
    EXPECT_EQ(Fake::NarrowToWideCalls().size(), 1u) << "only CP99999 reaches the platform";
    // MB_PRECOMPOSED but where the UTF rule applies (its ANSI and OEM cases are shared).
    const std::tuple<const char*, std::uint32_t, std::uint32_t> pages[] = {
        {"CP1252", 1252, 1}, {"UTF-8", 65001, 0}, {"UTF-7", 65000, 0}, {"OEM", 1, 1}};
    for (const auto& [from, codePage, flags] : pages)
    {
        Fake::ResetCodePages();
        std::wstring out;
        ASSERT_TRUE(Detail::ConvertStringToWString(std::string("a\0\xE9", 3), out, from, ""));
        EXPECT_EQ(out, std::wstring(L"a\0\x00E9", 3)) << from;
        const Fake::ConversionCall& call = Fake::NarrowToWideCalls().at(1);
        EXPECT_EQ(std::tie(call.codePage, call.flags), std::tie(codePage, flags)) << from;
    }
}

} // namespace

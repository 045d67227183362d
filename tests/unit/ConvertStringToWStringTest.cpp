// Narrow-to-wide conversion: the order of its checks, its messages, and what reaches the platform.
#include "FakeCodePages.h"

#include <Tolvane/Util/StringConversion.h>

#include <boost/lexical_cast.hpp>
#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

namespace {

using Tolvane::Util::StringConversion::Detail::ConvertStringToWString;
namespace Fake = Tolvane::Util::Os::Fake;

const char* const InvalidSource = "ConvertStringToWString: invalid source encoding.";
const char* const InvalidDestination = "ConvertStringToWString: invalid destination encoding.";

class ConvertStringToWStringTest : public testing::Test
{
protected:
    void SetUp() override { Fake::ResetCodePages(); }

    // Gives "true", "false", an invalid_argument's message or "bad_lexical_cast".
    std::string Convert(const std::string& source, const char* from, const char* to = "")
    {
        try
        {
            return ConvertStringToWString(source, out, from, to) ? "true" : "false";
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

    std::wstring out = L"untouched";
};

TEST_F(ConvertStringToWStringTest, EveryFailureLeavesTheDestinationUntouched)
{
    const char* const cases[][4] = {
        // source, source name, destination name, outcome. The destination name is checked
        // first, even before the empty-source short cut.
        {"", "UTF-8", "CPX", InvalidDestination}, {"abc", "UTF-8", "CPX", InvalidDestination},
        {"a", "ansi", "", InvalidSource},         {"a", "UTF-16", "", InvalidSource},
        {"a", "CP", "", InvalidSource},           {"a", "UTF8", "", InvalidSource},
        {"a", "CP1252 ", "", "bad_lexical_cast"}, {"abc", "CP99999", "", "false"}};
    for (const auto& c : cases)
    {
        EXPECT_EQ(Convert(c[0], c[1], c[2]), c[3]) << c[1] << " to " << c[2];
        EXPECT_EQ(out, L"untouched");
    }
    EXPECT_EQ(Fake::NarrowToWideCalls().size(), 1u) << "only CP99999 reaches the platform";
}

TEST_F(ConvertStringToWStringTest, EmptySourceSucceedsWhateverTheSourceName)
{
    for (const char* name : {"", "bogus", "CPX", "CP 1", "UTF-16"})
    {
        out = L"old";
        EXPECT_EQ(Convert("", name, "UTF-16"), "true") << name;
        EXPECT_EQ(out, L"") << name;
    }
    EXPECT_TRUE(Fake::NarrowToWideCalls().empty());
}

TEST_F(ConvertStringToWStringTest, PassesCodePageAndFlagsToBothPlatformCalls)
{
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"", 0},    {"ANSI", 0},      {"OEM", 1},         {"CP1252", 1252},
        {"CP0", 0}, {"UTF-8", 65001}, {"CP65001", 65001}, {"UTF-7", 65000}};
    for (const auto& [name, codePage] : cases)
    {
        Fake::ResetCodePages();
        ASSERT_EQ(Convert("abc", name, "UTF-16"), "true") << name;
        EXPECT_EQ(out, L"abc");
        ASSERT_EQ(Fake::NarrowToWideCalls().size(), 2u);
        for (const auto& call : Fake::NarrowToWideCalls())
        {
            EXPECT_EQ(call.codePage, codePage) << name;
            EXPECT_EQ(call.flags, codePage >= 65000 ? 0u : 1u) << name; // MB_PRECOMPOSED
        }
    }
}

TEST_F(ConvertStringToWStringTest, EmbeddedNulBytesBecomeNulUnits)
{
    ASSERT_EQ(Convert(std::string("a\0b\0", 4), "ANSI"), "true");
    EXPECT_EQ(out, std::wstring(L"a\0b\0", 4));
}

TEST_F(ConvertStringToWStringTest, Utf8SystemCodePagePassesNoFlagsForAnsiAndOem)
{
    // Windows refuses MB_PRECOMPOSED on UTF-8, and so does the fake: with a UTF-8 system code
    // page the default names must still convert.
    Fake::CodePages().ansiCodePage = 65001;
    Fake::CodePages().oemCodePage = 65001;
    for (const char* name : {"", "ANSI", "OEM"})
    {
        ASSERT_EQ(Convert("\xC3\xA9t\xC3\xA9", name), "true") << name;
        EXPECT_EQ(out, L"\x00E9t\x00E9") << name;
        EXPECT_EQ(Fake::NarrowToWideCalls().back().flags, 0u) << name;
    }
}

} // namespace

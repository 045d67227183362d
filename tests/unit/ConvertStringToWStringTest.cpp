// Narrow-to-wide conversion: the order of its checks, its messages, and what reaches the platform.
#include "FakeCodePages.h"

#include <Tolvane/Util/StringConversion.h>

#include <boost/lexical_cast.hpp>
#include <gtest/gtest.h>

#include <stdexcept>

namespace
{

using Tolvane::Util::StringConversion::Detail::ConvertStringToWString;
namespace Fake = Tolvane::Util::Os::Fake;

class ConvertStringToWStringTest : public testing::Test
{
protected:
    void SetUp() override { Fake::ResetCodePages(); }
};

template <typename Exception>
std::string MessageOf(const std::function<void()>& action)
{
    try
    {
        action();
    }
    catch (const Exception& e)
    {
        return e.what();
    }
    return "(nothing thrown)";
}

TEST_F(ConvertStringToWStringTest, DestinationNameIsCheckedFirstEvenForEmptySource)
{
    std::wstring out = L"untouched";
    for (const char* source : {"", "abc"})
    {
        EXPECT_EQ(MessageOf<std::invalid_argument>(
                      [&] { ConvertStringToWString(source, out, "CPX", "UTF-8"); }),
                  "ConvertStringToWString: invalid destination encoding.");
    }
    EXPECT_EQ(out, L"untouched");
    EXPECT_TRUE(Fake::NarrowToWideCalls().empty());
}

TEST_F(ConvertStringToWStringTest, EmptySourceSucceedsWhateverTheSourceName)
{
    for (const char* name : {"", "bogus", "CPX", "CP 1", "UTF-16"})
    {
        std::wstring out = L"old";
        EXPECT_TRUE(ConvertStringToWString("", out, name, "UTF-16")) << name;
        EXPECT_EQ(out, L"") << name;
    }
    EXPECT_TRUE(Fake::NarrowToWideCalls().empty());
}

TEST_F(ConvertStringToWStringTest, UnrecognisedSourceNameThrowsItsMessage)
{
    std::wstring out = L"untouched";
    for (const char* name : {"ansi", "UTF-16", "CP", "UTF8"})
    {
        EXPECT_EQ(
            MessageOf<std::invalid_argument>([&] { ConvertStringToWString("a", out, name, ""); }),
            "ConvertStringToWString: invalid source encoding.")
            << name;
    }
    EXPECT_EQ(out, L"untouched");
}

TEST_F(ConvertStringToWStringTest, MalformedCpNumberPassesBadLexicalCast)
{
    std::wstring out = L"untouched";
    EXPECT_THROW(ConvertStringToWString("a", out, "CP1252 ", ""), boost::bad_lexical_cast);
    EXPECT_EQ(out, L"untouched");
}

struct FlagsCase
{
    const char* name;
    std::uint32_t codePage;
    std::uint32_t flags;
};

class PassesCodePageAndFlags : public testing::TestWithParam<FlagsCase>
{
protected:
    void SetUp() override { Fake::ResetCodePages(); }
};

TEST_P(PassesCodePageAndFlags, ToBothPlatformCalls)
{
    std::wstring out;
    ASSERT_TRUE(ConvertStringToWString("abc", out, GetParam().name, "UTF-16"));
    EXPECT_EQ(out, L"abc");
    ASSERT_EQ(Fake::NarrowToWideCalls().size(), 2u);
    for (const auto& call : Fake::NarrowToWideCalls())
    {
        EXPECT_EQ(call.codePage, GetParam().codePage);
        EXPECT_EQ(call.flags, GetParam().flags);
    }
}

INSTANTIATE_TEST_SUITE_P(Names, PassesCodePageAndFlags,
                         testing::Values(FlagsCase{"", 0, 1}, FlagsCase{"ANSI", 0, 1},
                                         FlagsCase{"OEM", 1, 1}, FlagsCase{"CP1252", 1252, 1},
                                         FlagsCase{"CP0", 0, 1}, FlagsCase{"UTF-8", 65001, 0},
                                         FlagsCase{"CP65001", 65001, 0},
                                         FlagsCase{"UTF-7", 65000, 0}));

TEST_F(ConvertStringToWStringTest, UnknownCodePageGivesFalseAndLeavesDestination)
{
    std::wstring out = L"untouched";
    EXPECT_FALSE(ConvertStringToWString("abc", out, "CP99999", ""));
    EXPECT_EQ(out, L"untouched");
}

TEST_F(ConvertStringToWStringTest, EmbeddedNulBytesBecomeNulUnits)
{
    std::wstring out;
    ASSERT_TRUE(ConvertStringToWString(std::string("a\0b\0", 4), out, "ANSI", ""));
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
        std::wstring out;
        ASSERT_TRUE(ConvertStringToWString("\xC3\xA9t\xC3\xA9", out, name, "")) << name;
        EXPECT_EQ(out, L"\x00E9t\x00E9") << name;
        EXPECT_EQ(Fake::NarrowToWideCalls().back().flags, 0u) << name;
    }
}

} // namespace

// The throwing conversion and the conversion exception.
#include "strings/ConvertString.h"
#include "FakeCodePages.h"
#include "FakeSystemInfo.h"

#include <Tolvane/Exception.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <typeinfo>

namespace
{

using namespace Tolvane::Util::StringConversion;
namespace Fake = Tolvane::Util::Os::Fake;

class ConvertStringTest : public testing::Test
{
protected:
    void SetUp() override
    {
        Fake::ResetCodePages();
        Fake::ResetSystemInfo();
    }
};

TEST_F(ConvertStringTest, ReturnsWhatTheNonThrowingConversionGives)
{
    for (const wchar_t* text : {L"plain", L"x\x0100\x4E2D", L""})
    {
        std::string expected;
        bool used = false;
        ASSERT_TRUE(Detail::ConvertWStringToString(
            text, expected, "", "CP1252", AllowBestFitMapping, UseSpecifiedDefaultChar, '?', used));
        EXPECT_EQ(ConvertString(text, "", "CP1252", AllowBestFitMapping, UseSpecifiedDefaultChar),
                  expected);
    }
}

TEST_F(ConvertStringTest, FailureThrowsConvertStringExceptionNamingBothTypes)
{
    Fake::SystemInfo().version = Fake::MakeVersion(1, 4, 0);
    try
    {
        ConvertString(L"\x0100", "", "", DisallowBestFitMapping, UseSystemDefaultChar);
        FAIL() << "nothing thrown";
    }
    catch (const Tolvane::ConvertStringException& e)
    {
        EXPECT_EQ(std::string(e.what()), std::string("String conversion from (") +
                                             typeid(std::wstring).name() + ") to (" +
                                             typeid(std::string).name() + ") failed.");
    }
}

TEST_F(ConvertStringTest, MisuseIsNotAConversionFailure)
{
    EXPECT_THROW(ConvertString(L"a", "", "bogus", AllowBestFitMapping, UseSpecifiedDefaultChar),
                 std::invalid_argument);
    EXPECT_EQ(ConvertString(L"", "", "bogus", AllowBestFitMapping, UseSpecifiedDefaultChar), "");
}

template <typename Handler>
std::string CaughtText()
{
    try
    {
        Detail::ThrowConvertStringException("abc");
    }
    catch (const Handler& e)
    {
        return e.what();
    }
    return "(not caught)";
}

TEST_F(ConvertStringTest, ThrownExceptionIsCaughtAsEveryClassWithOneText)
{
    EXPECT_EQ(CaughtText<Tolvane::ConvertStringException>(), "abc");
    EXPECT_EQ(CaughtText<Tolvane::Exception>(), "abc");
    EXPECT_EQ(CaughtText<std::exception>(), "abc");
    try
    {
        Detail::ThrowConvertStringException("abc");
    }
    catch (const Tolvane::Exception& e)
    {
        EXPECT_EQ(e.GetWideMessage(), L"abc");
    }
}

} // namespace

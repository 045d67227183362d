// The throwing conversion and the conversion exception.
#include "strings/ConvertString.h"
#include "FakeCodePages.h"
#include "FakeSystemInfo.h"

#include <Tolvane/Exception.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <typeinfo>
#include <utility>

namespace {

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

TEST_F(ConvertStringTest, ReturnsWhatTheConversionGives)
{
    const std::pair<const wchar_t*, const char*> cases[] = {
        {L"plain", "plain"}, {L"x\x0100\x4E2D", "xA?"}, {L"", ""}};
    for (const auto& [text, expected] : cases)
    {
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

} // namespace

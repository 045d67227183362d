// Narrow-to-wide conversion through the real backend (Linux: UTF-8 and ICU; Windows: kernel32).
#include <Tolvane/Util/StringConversion.h>

#include <gtest/gtest.h>

#include <stdexcept>

namespace
{

using Tolvane::Util::StringConversion::Detail::ConvertStringToWString;

struct Sample
{
    const char* encoding;
    std::string bytes;
    std::wstring text;
};

class DecodesSample : public testing::TestWithParam<Sample>
{
};

TEST_P(DecodesSample, ToTheExpectedText)
{
    std::wstring out;
    ASSERT_TRUE(ConvertStringToWString(GetParam().bytes, out, GetParam().encoding, "UTF-16"));
    EXPECT_EQ(out, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(CodePages, DecodesSample,
                         testing::Values(Sample{"UTF-8", "Gr\xC3\xBC\xC3\x9F\x65 \xE2\x82\xAC",
                                                L"Gr\x00FC\x00DF"
                                                L"e \x20AC"},
                                         Sample{"CP65001", "\xE2\x82\xAC", L"\x20AC"},
                                         Sample{"CP1252",
                                                "Gr\xFC\xDF"
                                                "e \x80",
                                                L"Gr\x00FC\x00DF"
                                                L"e \x20AC"},
                                         Sample{"CP1251", "\xCF\xF0\xE8\xE2\xE5\xF2",
                                                L"\x041F\x0440\x0438\x0432\x0435\x0442"},
                                         Sample{"CP437", "\x82\xE1", L"\x00E9\x00DF"},
                                         Sample{"CP850", "\x82\x9D", L"\x00E9\x00D8"},
                                         Sample{"CP932", "\x93\xFA\x96\x7B", L"\x65E5\x672C"},
                                         Sample{"CP936", "\xD6\xD0\xCE\xC4", L"\x4E2D\x6587"},
                                         Sample{"CP949", "\xC7\xD1", L"\xD55C"},
                                         Sample{"CP950", "\xA4\xA4", L"\x4E2D"},
                                         Sample{"CP28591", "\xE9\xFF", L"\x00E9\x00FF"},
                                         Sample{"CP20127", "plain", L"plain"},
                                         Sample{"UTF-7", "A+ImIDkQ.", L"A\x2262\x0391."}));

TEST(ConvertStringToWStringNative, SupplementaryCharacterFromUtf8)
{
    std::wstring out;
    ASSERT_TRUE(ConvertStringToWString("\xF0\x9F\x98\x80", out, "UTF-8", ""));
    // One code point: a surrogate pair in UTF-16, one unit in UTF-32.
    const std::wstring expected = sizeof(wchar_t) == 2
                                      ? std::wstring(L"\xD83D\xDE00")
                                      : std::wstring(1, static_cast<wchar_t>(0x1F600));
    EXPECT_EQ(out, expected);
}

TEST(ConvertStringToWStringNative, AnsiAndEmptyNameAgree)
{
    std::wstring viaEmpty;
    std::wstring viaAnsi;
    ASSERT_TRUE(ConvertStringToWString("plain ASCII", viaEmpty, "", ""));
    ASSERT_TRUE(ConvertStringToWString("plain ASCII", viaAnsi, "ANSI", "UTF-16"));
    EXPECT_EQ(viaEmpty, L"plain ASCII");
    EXPECT_EQ(viaAnsi, viaEmpty);
}

TEST(ConvertStringToWStringNative, CodePagesThePlatformLacksGiveFalse)
{
    // 1200 is UTF-16, which no narrow string holds; 99999 names nothing.
    for (const char* name : {"CP99999", "CP1200", "CP12000"})
    {
        std::wstring out = L"untouched";
        EXPECT_FALSE(ConvertStringToWString("abc", out, name, "")) << name;
        EXPECT_EQ(out, L"untouched") << name;
    }
}

TEST(ConvertStringToWStringNative, LocalBufferBoundaryConvertsWhole)
{
    for (std::size_t length : {63u, 64u, 65u, 1000u})
    {
        const std::string source(length, 'q');
        std::wstring out;
        ASSERT_TRUE(ConvertStringToWString(source, out, "UTF-8", "")) << length;
        EXPECT_EQ(out, std::wstring(length, L'q')) << length;
    }
}

TEST(ConvertStringToWStringNative, EmbeddedNulBytesSurvive)
{
    std::wstring out;
    ASSERT_TRUE(ConvertStringToWString(std::string("\0x\0", 3), out, "ANSI", ""));
    EXPECT_EQ(out, std::wstring(L"\0x\0", 3));
}

TEST(ConvertStringToWStringNative, InvalidUtf8BecomesReplacementCharacters)
{
    std::wstring out;
    ASSERT_TRUE(ConvertStringToWString("a\xFF"
                                       "b\xC3",
                                       out, "UTF-8", ""));
    EXPECT_EQ(out, L"a\xFFFD"
                   L"b\xFFFD");
}

TEST(ConvertStringToWStringNative, MisuseIsReportedAcrossTheLibraryBoundary)
{
    std::wstring out;
    EXPECT_THROW(ConvertStringToWString("a", out, "utf-8", ""), std::invalid_argument);
    EXPECT_THROW(ConvertStringToWString("a", out, "", "UTF-8"), std::invalid_argument);
}

} // namespace

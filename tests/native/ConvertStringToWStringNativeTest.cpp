// Narrow-to-wide conversion through the real backend (Linux: UTF-8 and tables; Windows: kernel32).
#include <Tolvane/Util/StringConversion.h>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using Tolvane::Util::StringConversion::Detail::ConvertStringToWString;

// U+1F600: a surrogate pair in UTF-16, one unit in UTF-32.
const std::wstring Emoji = sizeof(wchar_t) == 2 ? std::wstring(L"\xD83D\xDE00")
                                                : std::wstring(1, static_cast<wchar_t>(0x1F600));

TEST(ConvertStringToWStringNative, DecodesEveryCodePageToTheExpectedText)
{
    struct Sample
    {
        const char* encoding;
        std::string bytes;
        std::wstring text;
    };
    const Sample samples[] = {
        {"UTF-8", "Gr\xC3\xBC\xC3\x9F\x65 \xE2\x82\xAC",
         L"Gr\x00FC\x00DF"
         L"e \x20AC"},
        {"UTF-8", "\xF0\x9F\x98\x80", Emoji},
        // Invalid UTF-8 becomes replacement characters, as on Windows.
        {"UTF-8",
         "a\xFF"
         "b\xC3",
         L"a\xFFFD"
         L"b\xFFFD"},
        {"CP65001", "\xE2\x82\xAC", L"\x20AC"},
        {"CP1252",
         "Gr\xFC\xDF"
         "e \x80",
         L"Gr\x00FC\x00DF"
         L"e \x20AC"},
        {"CP1251", "\xCF\xF0\xE8\xE2\xE5\xF2", L"\x041F\x0440\x0438\x0432\x0435\x0442"},
        {"CP437", "\x82\xE1", L"\x00E9\x00DF"},
        {"CP850", "\x82\x9D", L"\x00E9\x00D8"},
        {"CP932", "\x93\xFA\x96\x7B", L"\x65E5\x672C"},
        {"CP936", "\xD6\xD0\xCE\xC4", L"\x4E2D\x6587"},
        {"CP949", "\xC7\xD1", L"\xD55C"},
        {"CP950", "\xA4\xA4", L"\x4E2D"},
        {"CP28591", "\xE9\xFF", L"\x00E9\x00FF"},
        {"CP20127", "plain", L"plain"},
        {"UTF-7", "A+ImIDkQ.", L"A\x2262\x0391."},
        // Whatever the system's ANSI code page, ASCII and NUL bytes survive.
        {"", "plain ASCII", L"plain ASCII"},
        {"ANSI", std::string("\0x\0", 3), std::wstring(L"\0x\0", 3)}};
    for (const Sample& s : samples)
    {
        std::wstring out;
        ASSERT_TRUE(ConvertStringToWString(s.bytes, out, s.encoding, "UTF-16")) << s.encoding;
        EXPECT_EQ(out, s.text) << s.encoding;
    }
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

TEST(ConvertStringToWStringNative, MisuseIsReportedAcrossTheLibraryBoundary)
{
    std::wstring out;
    EXPECT_THROW(ConvertStringToWString("a", out, "utf-8", ""), std::invalid_argument);
    EXPECT_THROW(ConvertStringToWString("a", out, "", "UTF-8"), std::invalid_argument);
}

} // namespace

// Wide-to-narrow conversion through the real backend.
#include <Tolvane/Util/StringConversion.h>

#include <gtest/gtest.h>

namespace {

using namespace Tolvane::Util::StringConversion;
using Detail::ConvertWStringToString;

TEST(ConvertWStringToStringNative, EncodesEveryCodePageToTheExpectedBytes)
{
    struct Sample
    {
        const char* encoding;
        BestFitMappingPolicy bestFit;
        CharacterSubstitutionPolicy substitution;
        std::wstring text;
        std::string bytes;
        bool used;
    };
    const auto Forbid = DisallowBestFitMapping;
    const auto Specified = UseSpecifiedDefaultChar;
    const std::wstring emoji = sizeof(wchar_t) == 2
                                   ? std::wstring(L"\xD83D\xDE00")
                                   : std::wstring(1, static_cast<wchar_t>(0x1F600));
    const Sample samples[] = {
        // U+0100 has only a look-alike in 1252: forbidding best fit gives the default character.
        {"CP1252", Forbid, Specified, L"\x0100\x20AC\x00E9", "?\x80\xE9", true},
        {"CP1252", Forbid, Specified, L"caf\x00E9", "caf\xE9", false},
        {"CP1252", Forbid, UseSystemDefaultChar, L"\x0100\x20AC", "?\x80", false},
        {"CP1251", Forbid, Specified, L"\x041F\x0440\x0438", "\xCF\xF0\xE8", false},
        {"CP932", Forbid, Specified, L"\x65E5\x672C", "\x93\xFA\x96\x7B", false},
        {"CP936", Forbid, Specified, L"\x4E2D\x6587", "\xD6\xD0\xCE\xC4", false},
        {"CP437", Forbid, Specified, L"\x00E9\x00DF", "\x82\xE1", false},
        {"CP28591", Forbid, Specified, L"\x00E9\x00FF\x0100", "\xE9\xFF?", true},
        {"UTF-8", Forbid, Specified,
         L"Gr\x00FC\x00DF"
         L"e \x20AC",
         "Gr\xC3\xBC\xC3\x9F"
         "e \xE2\x82\xAC",
         false},
        {"UTF-8", Forbid, Specified, emoji, "\xF0\x9F\x98\x80", false},
        {"CP65001", AllowBestFitMapping, Specified, L"\x4E2D", "\xE4\xB8\xAD", false},
        // Whatever the system's ANSI code page (Wine: 1252, Linux: UTF-8), ASCII survives and a
        // forbidden best fit never fails: the UTF rule applies where the code page is UTF-8.
        {"", Forbid, Specified, L"ASCII text", "ASCII text", false},
        {"ANSI", Forbid, Specified, L"ASCII text", "ASCII text", false},
        {"OEM", Forbid, Specified, L"ASCII text", "ASCII text", false},
#if defined(_WIN32)
        // Windows' own look-alikes when best fit is allowed.
        {"CP1252", AllowBestFitMapping, Specified, L"\x0100\x0141\x221E", "AL8", false},
#endif
    };
    for (const Sample& s : samples)
    {
        SCOPED_TRACE(s.encoding);
        std::string out;
        bool used = !s.used;
        ASSERT_TRUE(ConvertWStringToString(s.text, out, "UTF-16", s.encoding, s.bestFit,
                                           s.substitution, '?', used));
        EXPECT_EQ(out, s.bytes);
        EXPECT_EQ(used, s.used);
    }
}

TEST(ConvertWStringToStringNative, Utf7RoundTrips)
{
    const std::wstring text = L"A\x2262 \x0391 +1";
    std::string narrow;
    bool used = true;
    ASSERT_TRUE(ConvertWStringToString(text, narrow, "", "UTF-7", DisallowBestFitMapping,
                                       UseSpecifiedDefaultChar, '?', used));
    EXPECT_FALSE(used);
    EXPECT_EQ(narrow, "A+ImI- +A5E- +-1");
    std::wstring back;
    ASSERT_TRUE(Detail::ConvertStringToWString(narrow, back, "UTF-7", ""));
    EXPECT_EQ(back, text);
}

TEST(ConvertWStringToStringNative, MissingCodePageGivesFalse)
{
    std::string out = "untouched";
    bool used = true;
    EXPECT_FALSE(ConvertWStringToString(L"abc", out, "", "CP99999", AllowBestFitMapping,
                                        UseSpecifiedDefaultChar, '?', used));
    EXPECT_EQ(out, "untouched");
    EXPECT_TRUE(used);
}

} // namespace

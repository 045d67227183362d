// Wide-to-narrow conversion through the real backend.
#include <Tolvane/Util/StringConversion.h>

#include <gtest/gtest.h>

namespace
{

using namespace Tolvane::Util::StringConversion;
using Detail::ConvertWStringToString;

struct Sample
{
    const char* encoding;
    int bestFit;
    int substitution;
    std::wstring text;
    std::string bytes;
    bool used;
};

class EncodesSample : public testing::TestWithParam<Sample>
{
};

TEST_P(EncodesSample, ToTheExpectedBytes)
{
    const Sample& s = GetParam();
    std::string out;
    bool used = !s.used;
    ASSERT_TRUE(ConvertWStringToString(
        s.text, out, "UTF-16", s.encoding, static_cast<BestFitMappingPolicy>(s.bestFit),
        static_cast<CharacterSubstitutionPolicy>(s.substitution), '?', used));
    EXPECT_EQ(out, s.bytes);
    EXPECT_EQ(used, s.used);
}

INSTANTIATE_TEST_SUITE_P(
    CodePages, EncodesSample,
    testing::Values(
        // U+0100 has only a look-alike in 1252: forbidding best fit gives the default character.
        Sample{"CP1252", 1, 0, L"\x0100\x20AC\x00E9", "?\x80\xE9", true},
        Sample{"CP1252", 1, 0, L"caf\x00E9", "caf\xE9", false},
        Sample{"CP1252", 1, 1, L"\x0100\x20AC", "?\x80", false},
        Sample{"CP1251", 1, 0, L"\x041F\x0440\x0438", "\xCF\xF0\xE8", false},
        Sample{"CP932", 1, 0, L"\x65E5\x672C", "\x93\xFA\x96\x7B", false},
        Sample{"CP936", 1, 0, L"\x4E2D\x6587", "\xD6\xD0\xCE\xC4", false},
        Sample{"CP437", 1, 0, L"\x00E9\x00DF", "\x82\xE1", false},
        Sample{"CP28591", 1, 0, L"\x00E9\x00FF\x0100", "\xE9\xFF?", true},
        Sample{"UTF-8", 1, 0,
               L"Gr\x00FC\x00DF"
               L"e \x20AC",
               "Gr\xC3\xBC\xC3\x9F"
               "e \xE2\x82\xAC",
               false},
        Sample{"CP65001", 0, 0, L"\x4E2D", "\xE4\xB8\xAD", false}));

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

#if defined(_WIN32)
TEST(ConvertWStringToStringNative, BestFitAllowedUsesWindowsLookAlikes)
{
    std::string out;
    bool used = true;
    ASSERT_TRUE(ConvertWStringToString(L"\x0100\x0141\x221E", out, "", "CP1252",
                                       AllowBestFitMapping, UseSpecifiedDefaultChar, '?', used));
    EXPECT_EQ(out, "AL8");
    EXPECT_FALSE(used);
}
#endif

TEST(ConvertWStringToStringNative, SupplementaryCharacterToUtf8)
{
    const std::wstring text = sizeof(wchar_t) == 2 ? std::wstring(L"\xD83D\xDE00")
                                                   : std::wstring(1, static_cast<wchar_t>(0x1F600));
    std::string out;
    bool used = true;
    ASSERT_TRUE(ConvertWStringToString(text, out, "", "UTF-8", DisallowBestFitMapping,
                                       UseSpecifiedDefaultChar, '?', used));
    EXPECT_EQ(out, "\xF0\x9F\x98\x80");
    EXPECT_FALSE(used);
}

TEST(ConvertWStringToStringNative, DefaultNamesConvertWithTheSystemCodePage)
{
    // Whatever the system's ANSI code page (Wine: 1252, Linux: UTF-8), ASCII survives and a
    // forbidden best fit never fails: the UTF rule applies where the code page is UTF-8.
    for (const char* name : {"", "ANSI", "OEM"})
    {
        std::string out;
        bool used = true;
        ASSERT_TRUE(ConvertWStringToString(L"ASCII text", out, "", name, DisallowBestFitMapping,
                                           UseSpecifiedDefaultChar, '?', used))
            << name;
        EXPECT_EQ(out, "ASCII text") << name;
        EXPECT_FALSE(used) << name;
    }
}

TEST(ConvertWStringToStringNative, LongTextsLeaveTheLocalBuffer)
{
    for (std::size_t length : {127u, 128u, 129u, 5000u})
    {
        std::string out;
        bool used = true;
        ASSERT_TRUE(ConvertWStringToString(std::wstring(length, L'z'), out, "", "CP1252",
                                           AllowBestFitMapping, UseSpecifiedDefaultChar, '?',
                                           used));
        EXPECT_EQ(out, std::string(length, 'z'));
    }
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

// Conversions through the real backend (Linux: UTF-8 and tables; Windows: kernel32), both ways.
#include <Tolvane/Util/StringConversion.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>

namespace {

using namespace Tolvane::Util::StringConversion;

TEST(StringConversionNative, ConvertsBothWaysWithThePoliciesAndTheDefaultCharacter)
{
    // U+1F600: a surrogate pair in UTF-16, one unit in UTF-32.
    const std::wstring emoji = sizeof(wchar_t) == 2
                                   ? std::wstring(L"\xD83D\xDE00")
                                   : std::wstring(1, static_cast<wchar_t>(0x1F600));
    const auto forbid = DisallowBestFitMapping;
    // Encoding, best-fit and substitution policies, text, bytes, whether the default character
    // was used, and the text the bytes convert back to. Whatever the system's ANSI and OEM code
    // pages (Wine: 1252 and 437, Linux: UTF-8), ASCII survives and a forbidden best fit never
    // fails: the UTF rule applies where they are UTF-8.
    const std::tuple<const char*, BestFitMappingPolicy, CharacterSubstitutionPolicy, std::wstring,
                     std::string, bool, std::wstring>
        samples[] = {
            {"CP1252", forbid, UseSpecifiedDefaultChar, L"\x0100\x20AC\x00E9", "!\x80\xE9", true,
             L"!\x20AC\x00E9"},
            {"CP1252", forbid, UseSystemDefaultChar, L"\x0100\x00E9", "?\xE9", false, L"?\x00E9"},
            {"CP932", forbid, UseSpecifiedDefaultChar, L"\x65E5\x672C", "\x93\xFA\x96\x7B", false,
             L"\x65E5\x672C"},
            {"UTF-8", forbid, UseSpecifiedDefaultChar, L"\x00FC" + emoji,
             "\xC3\xBC\xF0\x9F\x98\x80", false, L"\x00FC" + emoji},
            {"UTF-7", forbid, UseSpecifiedDefaultChar, L"A\x2262 +1", "A+ImI- +-1", false,
             L"A\x2262 +1"},
            {"", forbid, UseSpecifiedDefaultChar, std::wstring(L"a\0b", 3), std::string("a\0b", 3),
             false, std::wstring(L"a\0b", 3)},
#if defined(_WIN32)
            // Windows' own look-alikes when best fit is allowed.
            {"CP1252", AllowBestFitMapping, UseSpecifiedDefaultChar, L"\x0100\x0141\x221E", "AL8",
             false, L"AL8"},
#endif
        };
    for (const auto& [encoding, bestFit, substitution, text, bytes, used, back] : samples)
    {
        SCOPED_TRACE(encoding);
        std::string narrow;
        bool usedDefault = !used;
        ASSERT_TRUE(Detail::ConvertWStringToString(text, narrow, "UTF-16", encoding, bestFit,
                                                   substitution, '!', usedDefault));
        EXPECT_EQ(narrow, bytes);
        EXPECT_EQ(usedDefault, used);
        std::wstring wide;
        ASSERT_TRUE(Detail::ConvertStringToWString(narrow, wide, encoding, "UTF-16"));
        EXPECT_EQ(wide, back);
    }
}

// 1200 is UTF-16, which no narrow string holds; 99999 names nothing; names are case-sensitive.
TEST(StringConversionNative, FailuresAndMisuseCrossTheLibraryBoundary)
{
    std::wstring wide = L"untouched";
    std::string narrow = "untouched";
    bool used = true;
    EXPECT_FALSE(Detail::ConvertStringToWString("abc", wide, "CP99999", ""));
    EXPECT_FALSE(Detail::ConvertWStringToString(L"abc", narrow, "", "CP1200", AllowBestFitMapping,
                                                UseSpecifiedDefaultChar, '?', used));
    EXPECT_EQ(std::tie(wide, narrow, used), std::make_tuple(L"untouched", "untouched", true));
    EXPECT_THROW(Detail::ConvertStringToWString("a", wide, "utf-8", ""), std::invalid_argument);
}

} // namespace

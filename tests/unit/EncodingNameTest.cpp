// Encoding names: exact, case-sensitive resolution, and what the "CP" number parser accepts.
#include "strings/EncodingName.h"

#include <boost/lexical_cast.hpp>
#include <gtest/gtest.h>

namespace
{

using Tolvane::Util::StringConversion::IsWideEncodingName;
using Tolvane::Util::StringConversion::ResolveCodePage;

struct NameCase
{
    const char* name;
    std::optional<std::uint32_t> codePage;
};

class ResolvesNarrowName : public testing::TestWithParam<NameCase>
{
};

TEST_P(ResolvesNarrowName, ToItsCodePageOrNothing)
{
    EXPECT_EQ(ResolveCodePage(GetParam().name), GetParam().codePage) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Vocabulary, ResolvesNarrowName,
    testing::Values(NameCase{"", 0u}, NameCase{"ANSI", 0u}, NameCase{"OEM", 1u},
                    NameCase{"UTF-7", 65000u}, NameCase{"UTF-8", 65001u}, NameCase{"CP1252", 1252u},
                    NameCase{"CP936", 936u}, NameCase{"CP0", 0u}, NameCase{"CP65001", 65001u},
                    NameCase{"CP4294967295", 4294967295u},
                    // Matching is exact and case-sensitive.
                    NameCase{"ansi", std::nullopt}, NameCase{"utf-8", std::nullopt},
                    NameCase{"cp1252", std::nullopt}, NameCase{"UTF8", std::nullopt},
                    NameCase{"Oem", std::nullopt}, NameCase{"ANSI ", std::nullopt},
                    // "CP" alone is no number and falls through to unrecognised.
                    NameCase{"CP", std::nullopt}, NameCase{"C", std::nullopt},
                    // UTF-16 is a wide-side name only.
                    NameCase{"UTF-16", std::nullopt}));

class RejectsCpNumber : public testing::TestWithParam<const char*>
{
};

TEST_P(RejectsCpNumber, WithBadLexicalCast)
{
    EXPECT_THROW(ResolveCodePage(GetParam()), boost::bad_lexical_cast) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Malformed, RejectsCpNumber,
                         testing::Values("CPX", "CP 1252", "CP1252 ", "CP1252x", "CP12.5",
                                         "CP4294967296", "CP0x10", "CP\t1"));

TEST(WideEncodingName, AcceptsOnlyEmptyAndUtf16)
{
    EXPECT_TRUE(IsWideEncodingName(""));
    EXPECT_TRUE(IsWideEncodingName("UTF-16"));
    for (const char* name : {"UTF-8", "utf-16", "UTF16", "UTF-16LE", "ANSI", "CP1200", " "})
    {
        EXPECT_FALSE(IsWideEncodingName(name)) << name;
    }
}

} // namespace

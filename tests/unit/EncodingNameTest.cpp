// Encoding names: exact, case-sensitive resolution, and what the "CP" number parser accepts.
#include "strings/EncodingName.h"

#include <boost/lexical_cast.hpp>
#include <gtest/gtest.h>

#include <optional>
#include <utility>

namespace {

using Tolvane::Util::StringConversion::IsWideEncodingName;
using Tolvane::Util::StringConversion::ResolveCodePage;

TEST(EncodingName, NarrowNamesResolveExactlyToTheirCodePage)
{
    const std::pair<const char*, std::optional<std::uint32_t>> cases[] = {
        {"", 0u},
        {"ANSI", 0u},
        {"OEM", 1u},
        {"UTF-7", 65000u},
        {"UTF-8", 65001u},
        {"CP1252", 1252u},
        {"CP936", 936u},
        {"CP0", 0u},
        {"CP65001", 65001u},
        {"CP4294967295", 4294967295u},
        {"CP000001252", 1252u},
        {"CP123456789", 123456789u},
        // Signs are taken as unsigned parsing takes them.
        {"CP-1", 4294967295u},
        {"CP+1252", 1252u},
        // Matching is exact and case-sensitive.
        {"ansi", std::nullopt},
        {"utf-8", std::nullopt},
        {"cp1252", std::nullopt},
        {"UTF8", std::nullopt},
        {"Oem", std::nullopt},
        {"ANSI ", std::nullopt},
        // "CP" alone is no number and falls through to unrecognised.
        {"CP", std::nullopt},
        {"C", std::nullopt},
        // UTF-16 is a wide-side name only.
        {"UTF-16", std::nullopt}};
    for (const auto& [name, codePage] : cases)
    {
        EXPECT_EQ(ResolveCodePage(name), codePage) << name;
    }
    for (const char* name :
         {"CPX", "CP 1252", "CP1252 ", "CP1252x", "CP12.5", "CP4294967296", "CP0x10", "CP\t1"})
    {
        EXPECT_THROW(ResolveCodePage(name), boost::bad_lexical_cast) << name;
    }
}

} // namespace

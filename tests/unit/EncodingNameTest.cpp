// Encoding names: exact, case-sensitive resolution, and what the "CP" number parser accepts.
#include "strings/EncodingName.h"

#include <boost/lexical_cast.hpp>
#include <gtest/gtest.h>

#include <utility>

namespace {

using namespace Tolvane::Util::StringConversion;

TEST(EncodingName, NamesResolveExactlyToTheirCodePage)
{
    // Signs are taken as unsigned parsing takes them.
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"", 0},           {"ANSI", 0},         {"OEM", 1},
        {"UTF-7", 65000},  {"UTF-8", 65001},    {"CP1252", 1252},
        {"CP0", 0},        {"CP-1", ~0u},       {"CP4294967295", ~0u},
        {"CP+1252", 1252}, {"CP000000937", 937}};
    for (const auto& [name, codePage] : cases)
    {
        EXPECT_EQ(ResolveCodePage(name), codePage) << name;
    }
    // Matching is exact and case-sensitive; "CP" alone is no number, UTF-16 names the wide side
    // (which the conversions check: exactly "" or "UTF-16").
    for (const char* name :
         {"ansi", "cp1", "UTF8", "Oem", "ANSI ", "CP", "C", "UTF-16", "xP1", "Cx1"})
    {
        EXPECT_EQ(ResolveCodePage(name), std::nullopt) << name;
    }
    for (const char* name : {"CPX", "CP 1252", "CP1252 ", "CP12:5", "CP4294967296", "CP0x10"})
    {
        EXPECT_THROW(ResolveCodePage(name), boost::bad_lexical_cast) << name;
    }
}

} // namespace

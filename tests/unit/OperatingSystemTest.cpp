// The version queries against scripted version records, and the record they ask with.
#include <Tolvane/Util/OperatingSystem.h>

#include "FakeSystemInfo.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace Tolvane::Util;
namespace Fake = Os::Fake;

TEST(VersionQueries, AnswerFromThePlatformAndVersionAskingAnewWithTheBasicRecord)
{
    const std::uint32_t cases[][5] = {
        // platform, major, minor, NT?, XP or higher?
        {2, 4, 0, 1, 0},          {2, 5, 0, 1, 0},  {2, 5, 1, 1, 1},  {2, 5, 2, 1, 1},
        {2, 6, 0, 1, 1},          {2, 10, 0, 1, 1}, {2, 3, 51, 1, 0}, {2, 0xFFFFFFFF, 0, 1, 1},
        {2, 4, 0xFFFFFFFF, 1, 0}, {1, 5, 1, 0, 0},  {0, 6, 1, 0, 0},  {3, 6, 1, 0, 0}};
    for (const auto& c : cases)
    {
        Fake::SystemInfo().version = Fake::MakeVersion(c[0], c[1], c[2]);
        EXPECT_EQ(IsWindowsNtPlatform(), c[3] != 0) << c[0] << " " << c[1] << "." << c[2];
        EXPECT_EQ(IsWindowsXpOrHigher(), c[4] != 0) << c[0] << " " << c[1] << "." << c[2];
    }
    EXPECT_EQ(Fake::VersionQuerySizes(), std::vector<std::uint32_t>(2 * std::size(cases), 148));
    // A failing query answers no.
    Fake::SystemInfo().version.reset();
    EXPECT_FALSE(IsWindowsNtPlatform() || IsWindowsXpOrHigher());
}

} // namespace

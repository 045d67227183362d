// The version test that decides whether WC_NO_BEST_FIT_CHARS is honoured.
#include "strings/BestFitSupport.h"
#include "FakeSystemInfo.h"

#include <gtest/gtest.h>

#include <iterator>
#include <vector>

namespace {

using Tolvane::Util::StringConversion::IsBestFitSuppressionSupported;
namespace Fake = Tolvane::Util::Os::Fake;

TEST(BestFitSuppression, FollowsTheReportedVersionAskedAnewEachTime)
{
    const std::uint32_t cases[][4] = {// platform, major, minor, supported
                                      {1, 4, 0, false},        {1, 4, 9, false}, {1, 4, 10, true},
                                      {1, 4, 90, true},        {1, 3, 0, true},  {1, 5, 0, true},
                                      {2, 4, 0, true},         {2, 6, 1, true},  {0, 4, 0, true},
                                      {0x504F5358, 6, 1, true}};
    Fake::ResetSystemInfo();
    for (const auto& c : cases)
    {
        Fake::SystemInfo().version = Fake::MakeVersion(c[0], c[1], c[2]);
        EXPECT_EQ(IsBestFitSuppressionSupported(), c[3] != 0) << c[0] << " " << c[1] << "." << c[2];
    }
    EXPECT_EQ(Fake::VersionQuerySizes(), std::vector<std::uint32_t>(std::size(cases), 148));

    Fake::SystemInfo().version.reset();
    EXPECT_FALSE(IsBestFitSuppressionSupported()) << "a failing query means unsupported";
}

} // namespace

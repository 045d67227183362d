// The version test that decides whether WC_NO_BEST_FIT_CHARS is honoured.
#include "strings/BestFitSupport.h"
#include "FakeSystemInfo.h"

#include <gtest/gtest.h>

namespace
{

using Tolvane::Util::StringConversion::IsBestFitSuppressionSupported;
namespace Fake = Tolvane::Util::Os::Fake;

struct VersionCase
{
    std::uint32_t platform;
    std::uint32_t major;
    std::uint32_t minor;
    bool supported;
};

class BestFitSuppression : public testing::TestWithParam<VersionCase>
{
protected:
    void SetUp() override { Fake::ResetSystemInfo(); }
};

TEST_P(BestFitSuppression, FollowsTheReportedVersion)
{
    const VersionCase& c = GetParam();
    Fake::SystemInfo().version = Fake::MakeVersion(c.platform, c.major, c.minor);
    EXPECT_EQ(IsBestFitSuppressionSupported(), c.supported);
    ASSERT_EQ(Fake::VersionQuerySizes().size(), 1u);
    EXPECT_EQ(Fake::VersionQuerySizes()[0], 148u);
}

INSTANTIATE_TEST_SUITE_P(Versions, BestFitSuppression,
                         testing::Values(VersionCase{1, 4, 0, false}, VersionCase{1, 4, 9, false},
                                         VersionCase{1, 4, 10, true}, VersionCase{1, 4, 90, true},
                                         VersionCase{1, 3, 0, true}, VersionCase{1, 5, 0, true},
                                         VersionCase{2, 4, 0, true}, VersionCase{2, 6, 1, true},
                                         VersionCase{0, 4, 0, true},
                                         VersionCase{0x504F5358, 6, 1, true}));

TEST(BestFitSuppressionQuery, FailingVersionQueryMeansUnsupported)
{
    Fake::ResetSystemInfo();
    Fake::SystemInfo().version.reset();
    EXPECT_FALSE(IsBestFitSuppressionSupported());
}

TEST(BestFitSuppressionQuery, AsksAnewOnEveryCall)
{
    Fake::ResetSystemInfo();
    EXPECT_TRUE(IsBestFitSuppressionSupported());
    Fake::SystemInfo().version = Fake::MakeVersion(1, 4, 0);
    EXPECT_FALSE(IsBestFitSuppressionSupported());
    EXPECT_EQ(Fake::VersionQuerySizes().size(), 2u);
}

} // namespace

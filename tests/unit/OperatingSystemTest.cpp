// The version queries against scripted version records, and the record they ask with.
#include <Tolvane/Util/OperatingSystem.h>

#include "FakeSystemInfo.h"

#include <gtest/gtest.h>

namespace
{

using namespace Tolvane::Util;
namespace Fake = Os::Fake;

struct VersionCase
{
    std::uint32_t platform;
    std::uint32_t major;
    std::uint32_t minor;
    bool nt;
    bool xpOrHigher;
};

class VersionQueries : public testing::TestWithParam<VersionCase>
{
protected:
    void SetUp() override { Fake::ResetSystemInfo(); }
};

TEST_P(VersionQueries, AnswerFromThePlatformAndVersion)
{
    const VersionCase& c = GetParam();
    Fake::SystemInfo().version = Fake::MakeVersion(c.platform, c.major, c.minor);
    EXPECT_EQ(IsWindowsNtPlatform(), c.nt);
    EXPECT_EQ(IsWindowsXpOrHigher(), c.xpOrHigher);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, VersionQueries,
    testing::Values(VersionCase{2, 4, 0, true, false},         // NT 4.0
                    VersionCase{2, 5, 0, true, false},         // 2000
                    VersionCase{2, 5, 1, true, true},          // XP
                    VersionCase{2, 5, 2, true, true},          // Server 2003
                    VersionCase{2, 6, 0, true, true},          // Vista
                    VersionCase{2, 6, 1, true, true},          // 7
                    VersionCase{2, 10, 0, true, true},         // 10
                    VersionCase{2, 3, 51, true, false},        // NT 3.51: minor alone is not enough
                    VersionCase{2, 0xFFFFFFFF, 0, true, true}, // unsigned comparison
                    VersionCase{2, 4, 0xFFFFFFFF, true, false},  // unsigned comparison
                    VersionCase{1, 4, 10, false, false},         // Windows 98
                    VersionCase{1, 5, 1, false, false},          // not NT, whatever the version
                    VersionCase{0, 6, 1, false, false},          // Win32s
                    VersionCase{3, 6, 1, false, false},          // CE
                    VersionCase{0x504F5358, 6, 1, false, false}) // the POSIX backend's identifier
);

TEST(VersionQueries, FailingQueryAnswersNo)
{
    Fake::ResetSystemInfo();
    Fake::SystemInfo().version.reset();
    EXPECT_FALSE(IsWindowsNtPlatform());
    EXPECT_FALSE(IsWindowsXpOrHigher());
}

TEST(VersionQueries, AskAnewWithTheBasicRecordOnEveryCall)
{
    Fake::ResetSystemInfo();
    Fake::SystemInfo().version = Fake::MakeVersion(Os::PlatformWin32Nt, 5, 0);
    EXPECT_FALSE(IsWindowsXpOrHigher());
    Fake::SystemInfo().version = Fake::MakeVersion(Os::PlatformWin32Nt, 5, 1);
    EXPECT_TRUE(IsWindowsXpOrHigher());
    EXPECT_TRUE(IsWindowsNtPlatform());
    ASSERT_EQ(Fake::VersionQuerySizes().size(), 3u);
    for (std::uint32_t size : Fake::VersionQuerySizes())
    {
        EXPECT_EQ(size, 148u);
    }
}

} // namespace

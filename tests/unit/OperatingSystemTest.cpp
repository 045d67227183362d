// The version queries against scripted version records, and the record they ask with.
#include <Tolvane/Util/OperatingSystem.h>

#include "FakeSystemInfo.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace Tolvane::Util;
namespace Fake = Os::Fake;

TEST(VersionQueries, AnswerFromThePlatformAndVersion)
{
    struct Case
    {
        std::uint32_t platform;
        std::uint32_t major;
        std::uint32_t minor;
        bool nt;
        bool xpOrHigher;
    };
    const Case cases[] = {
        {2, 4, 0, true, false},           // NT 4.0
        {2, 5, 0, true, false},           // 2000
        {2, 5, 1, true, true},            // XP
        {2, 5, 2, true, true},            // Server 2003
        {2, 6, 0, true, true},            // Vista
        {2, 6, 1, true, true},            // 7
        {2, 10, 0, true, true},           // 10
        {2, 3, 51, true, false},          // NT 3.51: minor alone is not enough
        {2, 0xFFFFFFFF, 0, true, true},   // unsigned comparison
        {2, 4, 0xFFFFFFFF, true, false},  // unsigned comparison
        {1, 4, 10, false, false},         // Windows 98
        {1, 5, 1, false, false},          // not NT, whatever the version
        {0, 6, 1, false, false},          // Win32s
        {3, 6, 1, false, false},          // CE
        {0x504F5358, 6, 1, false, false}, // the POSIX backend's identifier
    };
    for (const Case& c : cases)
    {
        Fake::ResetSystemInfo();
        Fake::SystemInfo().version = Fake::MakeVersion(c.platform, c.major, c.minor);
        EXPECT_EQ(IsWindowsNtPlatform(), c.nt) << c.platform << " " << c.major << "." << c.minor;
        EXPECT_EQ(IsWindowsXpOrHigher(), c.xpOrHigher)
            << c.platform << " " << c.major << "." << c.minor;
    }
}

TEST(VersionQueries, AskAnewWithTheBasicRecordOnEveryCallAndAFailureAnswersNo)
{
    Fake::ResetSystemInfo();
    Fake::SystemInfo().version = Fake::MakeVersion(Os::PlatformWin32Nt, 5, 0);
    EXPECT_FALSE(IsWindowsXpOrHigher());
    Fake::SystemInfo().version = Fake::MakeVersion(Os::PlatformWin32Nt, 5, 1);
    EXPECT_TRUE(IsWindowsXpOrHigher());
    EXPECT_TRUE(IsWindowsNtPlatform());
    EXPECT_EQ(Fake::VersionQuerySizes(), (std::vector<std::uint32_t>(3, 148)));

    Fake::SystemInfo().version.reset();
    EXPECT_FALSE(IsWindowsNtPlatform());
    EXPECT_FALSE(IsWindowsXpOrHigher());
}

} // namespace

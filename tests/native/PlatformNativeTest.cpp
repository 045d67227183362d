// Version queries through the real library.
#include <Tolvane/Util/OperatingSystem.h>

#include <gtest/gtest.h>

namespace {

using namespace Tolvane::Util;

TEST(VersionQueriesNative, AnswerForTheRunningSystem)
{
#if defined(_WIN32)
    // Wine reports Windows 7 (NT 6.1) unless configured otherwise; every supported Windows is
    // NT 5.1 or later.
    EXPECT_TRUE(IsWindowsNtPlatform());
    EXPECT_TRUE(IsWindowsXpOrHigher());
#else
    // The POSIX backend answers with a platform that no Windows uses.
    EXPECT_FALSE(IsWindowsNtPlatform());
    EXPECT_FALSE(IsWindowsXpOrHigher());
#endif
}

} // namespace

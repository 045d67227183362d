// Version queries and digit utilities through the real library.
#include <Tolvane/Util/Characters.h>
#include <Tolvane/Util/OperatingSystem.h>

#include <gtest/gtest.h>

namespace
{

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

TEST(CharactersNative, ExportsClassifyAndDecode)
{
    EXPECT_TRUE(IsDecimalDigit('5'));
    EXPECT_FALSE(IsDecimalDigit('a'));
    EXPECT_TRUE(IsHexadecimalDigit('F'));
    EXPECT_EQ(DecodeDecimalDigit('7'), 7);
    EXPECT_EQ(DecodeHexadecimalDigit('c'), 12);
    EXPECT_EQ(MapInvalidHandleValueToZero(reinterpret_cast<void*>(~std::uintptr_t{0})), nullptr);
}

} // namespace

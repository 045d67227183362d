// The platform helpers: digit classification and decoding at the edges of each digit range,
// the handle mapping, the version queries against scripted version records, and the library's
// entry function.
#include <Tolvane/Util/Characters.h>
#include <Tolvane/Util/OperatingSystem.h>

#include "FakeSystemInfo.h"
#include "frame/LibraryEntry.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <optional>
#include <vector>

namespace {

using namespace Tolvane::Util;
namespace Fake = Os::Fake;

TEST(Characters, ClassifyAndDecodeAtTheEdgesOfEachDigitRange)
{
    const int cases[][5] = {// character, decimal?, hexadecimal?, decimal value, hexadecimal value
                            {'/', 0, 0, -1, -1},  {'0', 1, 1, 0, 0},           {'9', 1, 1, 9, 9},
                            {':', 0, 0, 10, 10},  {'@', 0, 0, 16, 16},         {'A', 0, 1, 17, 10},
                            {'F', 0, 1, 22, 15},  {'G', 0, 0, 23, 23},         {'`', 0, 0, 48, 48},
                            {'a', 0, 1, 49, 10},  {'f', 0, 1, 54, 15},         {'g', 0, 0, 55, 55},
                            {-1, 0, 0, -49, -49}, {0xFF10, 0, 0, 65248, 65248}};
    for (const auto& c : cases)
    {
        EXPECT_EQ(IsDecimalDigit(c[0]), c[1] != 0) << c[0];
        EXPECT_EQ(IsHexadecimalDigit(c[0]), c[2] != 0) << c[0];
        EXPECT_EQ(DecodeDecimalDigit(c[0]), c[3]) << c[0];
        EXPECT_EQ(DecodeHexadecimalDigit(c[0]), c[4]) << c[0];
    }
    EXPECT_FALSE(IsHexadecimalDigit(INT_MIN) || IsHexadecimalDigit(INT_MAX));
}

TEST(Characters, OnlyTheAllOnesHandleBecomesNull)
{
    constexpr std::uintptr_t AllOnes = ~std::uintptr_t{0};
    // On 64 bits only the full-width pattern is the invalid value, not its low 32 bits.
    for (const std::uintptr_t bits :
         {AllOnes, AllOnes - 1, 0xFFFFFFFF & (AllOnes >> 1), std::uintptr_t{0}})
    {
        void* const handle = reinterpret_cast<void*>(bits);
        EXPECT_EQ(MapInvalidHandleValueToZero(handle), bits == AllOnes ? nullptr : handle);
    }
}

TEST(VersionQueries, AnswerFromThePlatformAndVersionAskingAnewWithTheBasicRecord)
{
    const std::uint32_t cases[][5] = {
        // platform, major, minor, NT?, XP or higher?
        {2, 4, 0xFFFFFFFF, 1, 0}, {2, 5, 0, 1, 0}, {2, 5, 1, 1, 1}, {2, 6, 0, 1, 1},
        {2, 0xFFFFFFFF, 0, 1, 1}, {1, 5, 1, 0, 0}, {3, 6, 1, 0, 0}};
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

TEST(LibraryEntry, OnlyProcessAttachTurnsOffThreadNotificationsAndNoReasonFails)
{
    static int marker;
    const auto module = reinterpret_cast<Os::ModuleHandle>(&marker);
    for (const std::uint32_t reason : {Frame::ReasonProcessDetach, Frame::ReasonThreadAttach,
                                       Frame::ReasonThreadDetach, 4U, 0xFFFFFFFFU})
    {
        EXPECT_TRUE(Frame::OnLibraryEntry(module, reason)) << reason;
    }
    EXPECT_TRUE(Fake::SystemInfo().disabledModules.empty());
    // Refused for a module with a TLS directory, as MinGW's are: the load goes on.
    for (const bool succeeds : {true, false})
    {
        Fake::SystemInfo().disableThreadLibraryCallsSucceeds = succeeds;
        EXPECT_TRUE(Frame::OnLibraryEntry(module, Frame::ReasonProcessAttach)) << succeeds;
    }
    EXPECT_EQ(Fake::SystemInfo().disabledModules, (std::vector<Os::ModuleHandle>{module, module}));
}

} // namespace

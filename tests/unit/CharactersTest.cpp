// Digit classification and decoding at the edges of each digit range, and the handle mapping.
#include <Tolvane/Util/Characters.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace {

using namespace Tolvane::Util;

TEST(Characters, ClassifyAndDecodeAtTheEdgesOfEachDigitRange)
{
    const int cases[][5] = {// character, decimal?, hexadecimal?, decimal value, hexadecimal value
                            {'/', 0, 0, -1, -1},   {'0', 1, 1, 0, 0},
                            {'9', 1, 1, 9, 9},     {':', 0, 0, 10, 10},
                            {'@', 0, 0, 16, 16},   {'A', 0, 1, 17, 10},
                            {'F', 0, 1, 22, 15},   {'G', 0, 0, 23, 23},
                            {'`', 0, 0, 48, 48},   {'a', 0, 1, 49, 10},
                            {'f', 0, 1, 54, 15},   {'g', 0, 0, 55, 55},
                            {-1, 0, 0, -49, -49},  {0xFF10, 0, 0, 65248, 65248},
                            {0xB9, 0, 0, 137, 137}};
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
    void* const allOnes = reinterpret_cast<void*>(~std::uintptr_t{0});
    void* const allOnesMinusOne = reinterpret_cast<void*>(~std::uintptr_t{0} - 1);
    // On 64 bits only the full-width pattern is the invalid value, not its low 32 bits.
    void* const lowOnes = reinterpret_cast<void*>(0xFFFFFFFF & (~std::uintptr_t{0} >> 1));
    EXPECT_EQ(MapInvalidHandleValueToZero(allOnes), nullptr);
    for (void* const handle : {allOnesMinusOne, lowOnes, static_cast<void*>(nullptr)})
    {
        EXPECT_EQ(MapInvalidHandleValueToZero(handle), handle);
    }
}

} // namespace

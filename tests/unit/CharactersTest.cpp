// Digit classification and decoding over the whole range around ASCII, and the handle mapping.
#include <Tolvane/Util/Characters.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

namespace {

using namespace Tolvane::Util;

TEST(Characters, ClassifyExactlyTheAsciiDigits)
{
    std::vector<int> codes = {INT_MIN, -48, 0xFF10, 0xFF19, INT_MAX}; // full-width 0 and 9
    for (int c = -1; c <= 300; ++c)
    {
        codes.push_back(c);
    }
    for (int c : codes)
    {
        const bool decimal = c >= 48 && c <= 57;
        const bool hexadecimal = decimal || (c >= 97 && c <= 102) || (c >= 65 && c <= 70);
        EXPECT_EQ(IsDecimalDigit(c), decimal) << c;
        EXPECT_EQ(IsHexadecimalDigit(c), hexadecimal) << c;
    }
}

TEST(Characters, DecodeDigitsToTheirValuesAndOthersByPlainSubtraction)
{
    const int cases[][3] = {// character, decimal, hexadecimal
                            {'0', 0, 0},   {'7', 7, 7},     {'9', 9, 9},    {'a', 49, 10},
                            {'A', 17, 10}, {'f', 54, 15},   {'F', 22, 15},  {'g', 55, 55},
                            {'G', 23, 23}, {' ', -16, -16}, {-1, -49, -49}, {300, 252, 252}};
    for (const auto& c : cases)
    {
        EXPECT_EQ(DecodeDecimalDigit(c[0]), c[1]) << c[0];
        EXPECT_EQ(DecodeHexadecimalDigit(c[0]), c[2]) << c[0];
    }
    for (const char* set : {"0123456789abcdef", "0123456789ABCDEF"})
    {
        for (int value = 0; value < 16; ++value)
        {
            EXPECT_EQ(DecodeHexadecimalDigit(set[value]), value) << set[value];
        }
    }
}

TEST(Characters, OnlyTheAllOnesHandleBecomesNull)
{
    void* const allOnes = reinterpret_cast<void*>(~std::uintptr_t{0});
    void* const allOnesMinusOne = reinterpret_cast<void*>(~std::uintptr_t{0} - 1);
    void* const lowOnes = reinterpret_cast<void*>(std::uintptr_t{0xFFFFFFFF});
    int object = 0;

    EXPECT_EQ(MapInvalidHandleValueToZero(allOnes), nullptr);
    EXPECT_EQ(MapInvalidHandleValueToZero(nullptr), nullptr);
    EXPECT_EQ(MapInvalidHandleValueToZero(allOnesMinusOne), allOnesMinusOne);
    EXPECT_EQ(MapInvalidHandleValueToZero(&object), &object);
    if (sizeof(void*) > 4)
    {
        // Only the full-width pattern is the invalid value, not its low 32 bits.
        EXPECT_EQ(MapInvalidHandleValueToZero(lowOnes), lowOnes);
    }
}

} // namespace

// RandomNumberGenerator: MT19937 check values, the mapping onto ranges, copies, and seeding from
// the (fake) provider.
#include <Tolvane/Util/RandomNumberGenerator.h>

#include "FakeClock.h"
#include "FakeCrypto.h"
#include "FakeCursor.h"
#include "support/AllocationCounter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

using namespace Tolvane::Util;
namespace Fake = Os::Fake;

constexpr Long32 Min32 = std::numeric_limits<Long32>::min();
constexpr Long32 Max32 = std::numeric_limits<Long32>::max();

// The published MT19937 outputs for seed 5489: draws 1, 2, 3 and 10000.
struct CheckValue
{
    int draw;
    std::uint32_t value;
};
constexpr CheckValue CheckValues[] = {
    {1, 3499211612u}, {2, 581869302u}, {3, 3890346734u}, {10000, 4123659995u}};

std::vector<Long32> Numbers(RandomNumberGenerator& generator, Long32 minimum, Long32 maximum,
                            int count)
{
    std::vector<Long32> numbers;
    for (int i = 0; i < count; ++i)
    {
        numbers.push_back(generator.GetNumber(minimum, maximum));
    }
    return numbers;
}

// How many draws GetNumber(minimum, maximum) takes: the generator after the call continues as
// a copy does after that many one-draw calls.
int DrawsTaken(const RandomNumberGenerator& start, Long32 minimum, Long32 maximum)
{
    RandomNumberGenerator called(start);
    called.GetNumber(minimum, maximum);
    const std::vector<Long32> after = Numbers(called, 0, 1023, 12);
    for (int draws = 0; draws <= 3; ++draws)
    {
        RandomNumberGenerator skipped(start);
        Numbers(skipped, 0, 1, draws);
        if (Numbers(skipped, 0, 1023, 12) == after)
        {
            return draws;
        }
    }
    return -1;
}

class RandomNumberGeneratorTest : public testing::Test
{
protected:
    void SetUp() override
    {
        Fake::ResetClock();
        Fake::ResetCrypto();
        Fake::ResetCursor();
    }
};

TEST_F(RandomNumberGeneratorTest, DrawsAreTheMt19937CheckValuesOfSeed5489)
{
    // A one-draw call shows bits 3 to 31 of its draw as remainders of (draw >> 3): moduli 1024,
    // 1021, 1019 and 1013 together pin those 29 bits down.
    for (const CheckValue& check : CheckValues)
    {
        for (Long32 modulus : {1024, 1021, 1019, 1013})
        {
            RandomNumberGenerator generator;
            generator.Seed(5489);
            Numbers(generator, 0, 1, check.draw - 1);
            EXPECT_EQ(generator.GetNumber(0, modulus - 1),
                      static_cast<Long32>((check.value >> 3) % static_cast<std::uint32_t>(modulus)))
                << "draw " << check.draw << " modulo " << modulus;
        }
    }
}

TEST_F(RandomNumberGeneratorTest, ListedSequencesFollowSeed5489)
{
    const std::vector<Long32> cases[] = {// minimum, maximum, numbers...
                                         {0, 9, 1, 2, 1},
                                         {-5, 5, -2, -4, 1},
                                         {0, 1024, 880, 756, 67},
                                         // (3499211612 << 26 ^ 581869302 >> 3) mod 2^32, added
                                         // to the minimum.
                                         {Min32, Max32, -195701794}};
    for (const std::vector<Long32>& c : cases)
    {
        RandomNumberGenerator generator;
        generator.Seed(5489);
        EXPECT_EQ(Numbers(generator, c[0], c[1], static_cast<int>(c.size() - 2)),
                  std::vector<Long32>(c.begin() + 2, c.end()))
            << c[0] << ".." << c[1];
    }
}

TEST_F(RandomNumberGeneratorTest, SpansBelow1024TakeOneDrawLargerOnesTwoAndEmptyOnesNone)
{
    const Long32 cases[][3] = {// minimum, maximum, draws
                               {7, 7, 0},
                               {9, 3, 0},
                               {Max32, Min32, 0},
                               {Min32, Min32, 0},
                               {0, 1, 1},
                               {0, 1023, 1},
                               {-512, 511, 1},
                               {Min32, Min32 + 1023, 1},
                               {Max32 - 1023, Max32, 1},
                               {0, 1024, 2},
                               {-1, 1023, 2},
                               {Min32, Max32, 2},
                               {Min32, 0, 2}};
    RandomNumberGenerator generator;
    generator.Seed(5489);
    for (const auto& c : cases)
    {
        EXPECT_EQ(DrawsTaken(generator, c[0], c[1]), c[2]) << c[0] << ".." << c[1];
        if (c[2] == 0)
        {
            // An empty or reversed range gives its minimum.
            EXPECT_EQ(RandomNumberGenerator(generator).GetNumber(c[0], c[1]), c[0]);
        }
    }
}

TEST_F(RandomNumberGeneratorTest, NumbersStayInRangeAndReachBothEnds)
{
    const Long32 bounds[][2] = {{0, 1},
                                {-3, 3},
                                {0, 1023},
                                {0, 1024},
                                {Min32, Max32},
                                {Min32, Min32 + 5000},
                                {Max32 - 70000, Max32}};
    RandomNumberGenerator generator;
    generator.Seed(7);
    for (const auto& range : bounds)
    {
        Long32 lowest = Max32;
        Long32 highest = Min32;
        for (int i = 0; i < 4000; ++i)
        {
            const Long32 number = generator.GetNumber(range[0], range[1]);
            lowest = std::min(lowest, number);
            highest = std::max(highest, number);
        }
        EXPECT_GE(lowest, range[0]) << range[0] << ".." << range[1];
        EXPECT_LE(highest, range[1]) << range[0] << ".." << range[1];
        // Small ranges are covered end to end; ranges across zero reach both signs.
        if (static_cast<std::int64_t>(range[1]) - range[0] < 10)
        {
            EXPECT_EQ(lowest, range[0]);
            EXPECT_EQ(highest, range[1]);
        }
        if (range[0] < 0 && range[1] > 0)
        {
            EXPECT_LT(lowest, 0);
            EXPECT_GT(highest, 0);
        }
    }
}

TEST_F(RandomNumberGeneratorTest, CopiesContinueIdenticallyAndReseedingRestarts)
{
    RandomNumberGenerator source;
    source.Seed(42);
    const std::vector<Long32> fromSeed = Numbers(source, -100, 100, 40);
    for (int drawsBefore : {0, 1, 7, 700})
    {
        source.Seed(42);
        EXPECT_EQ(Numbers(source, -100, 100, 40), fromSeed) << "reseeding restarts";
        Numbers(source, 0, 1, drawsBefore);
        RandomNumberGenerator copy(source);
        for (int i = 0; i < 50; ++i)
        {
            ASSERT_EQ(copy.GetNumber(Min32, Max32), source.GetNumber(Min32, Max32)) << i;
            ASSERT_EQ(copy.GetNumber(-5, 5), source.GetNumber(-5, 5)) << i;
        }
    }
    source.Seed(43);
    EXPECT_NE(Numbers(source, -100, 100, 40), fromSeed);
}

TEST_F(RandomNumberGeneratorTest, SeedingWithAValueAndDrawingAllocateNothing)
{
    RandomNumberGenerator generator;
    Tolvane::Testing::AllocationScope scope;
    generator.Seed(5489);
    RandomNumberGenerator copy(generator);
    copy.GetNumber(Min32, Max32);
    copy.GetNumber(0, 9);
    EXPECT_EQ(scope.Count(), 0u);
}

} // namespace

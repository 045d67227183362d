// RandomNumberGenerator through the real library: the listed numbers for a seed, and Seed()
// from the system's provider.
#include <Tolvane/Util/RandomNumberGenerator.h>

#include "support/Numbers.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>

namespace {

using namespace Tolvane::Util;
using Tolvane::Testing::Numbers;

constexpr Long32 Min32 = std::numeric_limits<Long32>::min();
constexpr Long32 Max32 = std::numeric_limits<Long32>::max();

TEST(RandomNumberGeneratorNative, Seed5489GivesTheListedNumbersAndSystemSeedsDiffer)
{
    // A span of 1025 takes both draws per number.
    RandomNumberGenerator generator;
    generator.Seed(5489);
    EXPECT_EQ(Numbers(generator, 0, 1024, 3), (std::vector<Long32>{880, 756, 67}));

    // 624 words from the provider: two generators, or one reseeded, do not repeat each other.
    std::set<std::vector<Long32>> sequences;
    for (int i = 0; i < 8; ++i)
    {
        RandomNumberGenerator fresh;
        sequences.insert(Numbers(fresh, Min32, Max32, 4));
        generator.Seed();
        sequences.insert(Numbers(generator, Min32, Max32, 4));
    }
    EXPECT_EQ(sequences.size(), 16u);
}

} // namespace

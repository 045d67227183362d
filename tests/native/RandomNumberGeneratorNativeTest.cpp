// RandomNumberGenerator through the real library, seeded from the system's provider.
#include <Tolvane/Util/RandomNumberGenerator.h>

#include "support/Numbers.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace Tolvane::Util;
using Tolvane::Testing::Numbers;

TEST(RandomNumberGeneratorNative, SystemSeedsDiffer)
{
    // 624 words from the provider each time: two generators, or one reseeded, do not repeat
    // each other.
    RandomNumberGenerator generator;
    std::set<std::vector<Long32>> sequences{Numbers(generator, 0, 0x7FFFFFFF, 4)};
    for (int i = 0; i < 15; ++i)
    {
        generator.Seed();
        sequences.insert(Numbers(generator, 0, 0x7FFFFFFF, 4));
    }
    EXPECT_EQ(sequences.size(), 16u);
}

} // namespace

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
    // 624 words from the provider: two generators, or one reseeded, do not repeat each other.
    std::set<std::vector<Long32>> sequences;
    RandomNumberGenerator generator;
    for (int i = 0; i < 8; ++i)
    {
        RandomNumberGenerator fresh;
        sequences.insert(Numbers(fresh, 0, 0x7FFFFFFF, 4));
        generator.Seed();
        sequences.insert(Numbers(generator, 0, 0x7FFFFFFF, 4));
    }
    EXPECT_EQ(sequences.size(), 16u);
}

} // namespace

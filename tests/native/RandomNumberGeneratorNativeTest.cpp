// RandomNumberGenerator through the real library: the same numbers on every platform for a
// seed, and Seed() from the system's provider.
#include <Tolvane/Util/RandomNumberGenerator.h>

#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <vector>

namespace
{

using namespace Tolvane::Util;

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

TEST(RandomNumberGeneratorNative, Seed5489GivesTheListedNumbers)
{
    const Long32 Min32 = std::numeric_limits<Long32>::min();
    const Long32 Max32 = std::numeric_limits<Long32>::max();
    const std::vector<Long32> ranges[] = {
        {0, 9, 1, 2, 1}, {-5, 5, -2, -4, 1}, {0, 1024, 880, 756, 67}, {Min32, Max32, -195701794}};
    for (const std::vector<Long32>& r : ranges)
    {
        RandomNumberGenerator generator;
        generator.Seed(5489);
        EXPECT_EQ(Numbers(generator, r[0], r[1], static_cast<int>(r.size() - 2)),
                  std::vector<Long32>(r.begin() + 2, r.end()))
            << r[0] << ".." << r[1];
    }
}

TEST(RandomNumberGeneratorNative, SystemSeedsDiffer)
{
    // 624 words from the provider (or the clock mix): two generators, or one reseeded, do not
    // repeat each other.
    std::set<std::vector<Long32>> sequences;
    RandomNumberGenerator reseeded;
    for (int i = 0; i < 8; ++i)
    {
        RandomNumberGenerator fresh;
        sequences.insert(Numbers(fresh, std::numeric_limits<Long32>::min(),
                                 std::numeric_limits<Long32>::max(), 4));
        reseeded.Seed();
        sequences.insert(Numbers(reseeded, std::numeric_limits<Long32>::min(),
                                 std::numeric_limits<Long32>::max(), 4));
    }
    EXPECT_EQ(sequences.size(), 16u);
}

} // namespace

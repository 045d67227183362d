// RandomNumberGenerator: the sequence of a seed, the mapping onto ranges, copies, and seeding
// from the (fake) provider or, without one, from the clocks and the cursor.
#include <Tolvane/Util/RandomNumberGenerator.h>

#include "FakeClock.h"
#include "FakeCrypto.h"
#include "FakeSystemInfo.h"
#include "random/CryptProvider.h"
#include "random/SeedWords.h"
#include "support/Numbers.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using namespace Tolvane::Util;
using Tolvane::Testing::Numbers;
namespace Fake = Os::Fake;

constexpr Long32 Min32 = std::numeric_limits<Long32>::min();
constexpr Long32 Max32 = std::numeric_limits<Long32>::max();

TEST(RandomNumberGenerator, Seed5489GivesTheListedNumbersWithOneDrawBelowSpan1024AndTwoFrom)
{
    // minimum, maximum, numbers...; the row for 0..1023 gives (draw >> 3) mod 1024 of the first
    // draws, the last (3499211612 << 26 ^ 581869302 >> 3) mod 2^32 added to the minimum.
    const std::vector<Long32> cases[] = {{0, 9, 1, 2, 1},
                                         {0, 1023, 875, 990, 861},
                                         {0, 1024, 880, 756, 67},
                                         {Min32, Max32, -195701794}};
    RandomNumberGenerator generator;
    for (const std::vector<Long32>& c : cases)
    {
        generator.Seed(5489);
        EXPECT_EQ(Numbers(generator, c[0], c[1], static_cast<int>(c.size() - 2)),
                  std::vector<Long32>(c.begin() + 2, c.end()))
            << c[0] << ".." << c[1];
    }
    // Empty and reversed ranges give their minimum and take no draw; a copy goes on as its
    // source does.
    generator.Seed(5489);
    EXPECT_EQ(generator.GetNumber(7, 7), 7);
    EXPECT_EQ(generator.GetNumber(Max32, Min32), Max32);
    RandomNumberGenerator copy(generator);
    EXPECT_EQ(Numbers(generator, 0, 9, 3), (std::vector<Long32>{1, 2, 1}));
    EXPECT_EQ(Numbers(copy, 0, 9, 3), (std::vector<Long32>{1, 2, 1}));
}

TEST(RandomSeed, ProviderBytesAreTheStateWordsLittleEndianAndNothingElseIsMixedIn)
{
    // The provider hands out the state that seed 5489 gives (the reference initialisation,
    // multiplier 1812433253), so Seed() must continue as Seed(5489) does.
    static std::uint8_t bytes[2496];
    for (std::uint32_t k = 0, word = 5489; k < 2496; ++k)
    {
        word = k < 4 || k % 4 != 0 ? word : 1812433253u * (word ^ (word >> 30)) + k / 4;
        bytes[k] = static_cast<std::uint8_t>(word >> (8 * (k % 4)));
    }
    Fake::Crypto().randomBytes = bytes;
    RandomNumberGenerator seeded;
    seeded.Seed(1);
    seeded.Seed(); // away from Seed(1) and from the default state, which is Seed(5489)'s
    RandomNumberGenerator reference;
    reference.Seed(5489);
    EXPECT_EQ(Numbers(seeded, Min32, Max32, 8), Numbers(reference, Min32, Max32, 8));
    EXPECT_STREQ(Fake::Crypto().calls, "G4096:2496 G4096:2496 G4096:2496") << "one per Seed()";
    EXPECT_TRUE(Fake::ClockCalls().empty() && Fake::SystemInfo().cursorQueries == 0);
}

TEST(RandomSeed, WithoutBytesTheWordsMixTimeTicksFileTimeAndCursor)
{
    Fake::Clock().time = 0x100000000 + 0x0F; // only the low 32 bits count
    Fake::Clock().tickCount = 0x0E;          // start value 0x0F ^ 0x0E = 1
    Fake::Clock().fileTime = Os::FileTime{0x89ABCDEF, 0x01DA0000};
    Fake::Crypto().genRandomSucceeds = false;
    Fake::SystemInfo().cursor = Os::Point{640, -480};
    // A provider that hands out no bytes, or none at all; a failed cursor query counts as the
    // origin, whatever it left in the point.
    for (const bool withProvider : {true, false})
    {
        Fake::SystemInfo().cursorSucceeds = withProvider;
        Random::SeedWords words{};
        Random::GatherSeedWords(withProvider ? Random::CryptProvider() : nullptr, words);
        EXPECT_EQ(words[0], 69069u ^ 0x89ABCDEFu);
        EXPECT_EQ(words[1], 475559465u ^ 0x01DA0000u);
        EXPECT_EQ(words[2], 2801775573u ^ (withProvider ? 640u : 0u));
        EXPECT_EQ(words[3], 1790562961u ^ (withProvider ? static_cast<std::uint32_t>(-480) : 0u));
        EXPECT_EQ(words[4], 3104832285u); // 69069^5 mod 2^32, nothing mixed in
        for (std::size_t k = 5; k < words.size(); ++k)
        {
            ASSERT_EQ(words[k], words[k - 1] * 69069u) << k;
        }
    }
    // The calendar time is read before the tick count; no bytes are asked without a provider.
    EXPECT_EQ(Fake::ClockCalls(), "CTFCTF");
    EXPECT_STREQ(Fake::Crypto().calls, "G4096:2496");
}

TEST(RandomSeed, ProviderIsAcquiredAsAVerifyContextAndReleasedOnce)
{
    // The library's static initialiser acquired the fake provider before main.
    const auto loaded = reinterpret_cast<Os::CryptProviderHandle>(std::uintptr_t{0x1000});
    ASSERT_EQ(Random::CryptProvider(), loaded);
    Random::ReleaseCryptProvider();
    Random::ReleaseCryptProvider();
    Fake::Crypto().acquireSucceeds = false;
    Random::AcquireCryptProvider();
    EXPECT_EQ(Random::CryptProvider(), nullptr);
    // The fake acquires only a verify context of the default PROV_RSA_FULL provider.
    Fake::Crypto().acquireSucceeds = true;
    Random::AcquireCryptProvider();
    EXPECT_EQ(Random::CryptProvider(), loaded);
    EXPECT_STREQ(Fake::Crypto().calls, "R4096 F0 A4096");
}

} // namespace

// Seeding from the (fake) cryptographic provider, the fallback mix of clocks and cursor, and
// the provider's acquisition and release.
#include <Tolvane/Util/RandomNumberGenerator.h>

#include "FakeClock.h"
#include "FakeCrypto.h"
#include "FakeCursor.h"
#include "random/CryptProvider.h"
#include "random/SeedWords.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace {

using namespace Tolvane::Util;
namespace Fake = Os::Fake;

constexpr Long32 Min32 = std::numeric_limits<Long32>::min();
constexpr Long32 Max32 = std::numeric_limits<Long32>::max();

std::vector<Long32> Numbers(RandomNumberGenerator& generator, int count)
{
    std::vector<Long32> numbers;
    for (int i = 0; i < count; ++i)
    {
        numbers.push_back(generator.GetNumber(Min32, Max32));
    }
    return numbers;
}

// The first numbers of a generator seeded with Seed() under the current script.
std::vector<Long32> SeededNumbers()
{
    RandomNumberGenerator generator;
    generator.Seed(1);
    generator.Seed();
    return Numbers(generator, 16);
}

// The numbers Numbers() would give from a generator seeded with `words`: a reference MT19937
// seeded from the same range, with the full-range mapping (58 bits from two draws, mod 2^32).
std::vector<Long32> NumbersOfWords(const Random::SeedWords& words)
{
    boost::mt19937 reference;
    Random::SeedWords::const_iterator first = words.cbegin();
    reference.seed(first, words.cend());
    std::vector<Long32> numbers;
    for (int i = 0; i < 16; ++i)
    {
        const std::uint64_t high = reference();
        const std::uint64_t value = (high << 26) ^ (reference() >> 3);
        numbers.push_back(static_cast<Long32>(static_cast<std::uint32_t>(Min32) +
                                              static_cast<std::uint32_t>(value)));
    }
    return numbers;
}

// Puts the load-time provider back should a test end without one, so that a failing test
// does not take the provider away from the tests after it.
struct ProviderRestorer
{
    ~ProviderRestorer()
    {
        if (Random::CryptProvider() == nullptr)
        {
            Fake::ResetCrypto();
            Random::AcquireCryptProvider();
        }
    }
};

class SeedTest : public testing::Test
{
protected:
    void SetUp() override
    {
        Fake::ResetClock();
        Fake::ResetCrypto();
        Fake::ResetCursor();
        // Inputs of the fallback mix, each distinct.
        Fake::Clock().time = 1700000000;
        Fake::Clock().tickCount = 123456;
        Fake::Clock().fileTime = Os::FileTime{0x89ABCDEF, 0x01DA0000};
        Fake::Cursor().position = Os::Point{640, -480};
    }
};

TEST_F(SeedTest, ProviderBytesAreTheStateWordsLittleEndianAndNothingElseIsRead)
{
    // The static initialiser acquired the provider against the fake before main.
    ASSERT_EQ(Random::CryptProvider(), Fake::ProviderHandle());
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 251; ++i)
    {
        bytes.push_back(static_cast<std::uint8_t>(i * 7 + 3));
    }
    Fake::Crypto().randomBytes = bytes;
    // The fake repeats its bytes; each word takes four of them, least significant first.
    Random::SeedWords words{};
    for (std::size_t b = 0; b < 4 * words.size(); ++b)
    {
        words[b / 4] |= static_cast<std::uint32_t>(bytes[b % bytes.size()]) << (8 * (b % 4));
    }
    EXPECT_EQ(words[0], 0x18110A03u); // bytes 03 0A 11 18

    RandomNumberGenerator generator;
    EXPECT_EQ(Numbers(generator, 16), NumbersOfWords(words));

    ASSERT_EQ(Fake::CryptoCalls().size(), 1u);
    EXPECT_EQ(Fake::CryptoCalls()[0].kind, Fake::CryptoCallKind::GenRandom);
    EXPECT_EQ(Fake::CryptoCalls()[0].provider, Fake::ProviderHandle());
    EXPECT_EQ(Fake::CryptoCalls()[0].length, 2496u);
    EXPECT_TRUE(Fake::ClockCalls().empty());
    EXPECT_EQ(Fake::CursorQueries(), 0u);

    // Every Seed() asks the provider again.
    Fake::Crypto().randomBytes[4] ^= 1; // word 1: MT19937 keeps only the top bit of word 0
    generator.Seed();
    EXPECT_NE(Numbers(generator, 16), NumbersOfWords(words));
    EXPECT_EQ(Fake::CryptoCalls().size(), 2u);
}

TEST_F(SeedTest, FallbackWordsFollowTheRecurrenceAndTheMixedInputs)
{
    Fake::Clock().time = 0x100000000 + 0x0F; // only the low 32 bits count
    Fake::Clock().tickCount = 0x0E;          // start value 0x0F ^ 0x0E = 1
    Random::SeedWords words{};
    Random::GatherSeedWords(nullptr, words);
    EXPECT_EQ(words[0], 69069u ^ 0x89ABCDEFu);
    EXPECT_EQ(words[1], 475559465u ^ 0x01DA0000u);
    EXPECT_EQ(words[2], 2801775573u ^ 640u);
    EXPECT_EQ(words[3], 1790562961u ^ static_cast<std::uint32_t>(-480));
    EXPECT_EQ(words[4], 3104832285u); // 69069^5 mod 2^32, nothing mixed in
    for (std::size_t k = 5; k < words.size(); ++k)
    {
        ASSERT_EQ(words[k], words[k - 1] * 69069u) << k;
    }
    // The calendar time is read before the tick count, then the file time; no provider asked.
    EXPECT_EQ(Fake::ClockCalls(),
              (std::vector<Fake::ClockCall>{Fake::ClockCall::Time, Fake::ClockCall::GetTickCount,
                                            Fake::ClockCall::GetSystemTimeAsFileTime}));
    EXPECT_EQ(Fake::CursorQueries(), 1u);
    EXPECT_TRUE(Fake::CryptoCalls().empty());
}

TEST_F(SeedTest, FailingGenRandomFallsBackToTheInputsAlone)
{
    Fake::Crypto().genRandomSucceeds = false;
    const std::vector<Long32> baseline = SeededNumbers();
    EXPECT_EQ(SeededNumbers(), baseline) << "same inputs, same sequence";

    Random::SeedWords words{};
    Random::GatherSeedWords(nullptr, words);
    EXPECT_EQ(baseline, NumbersOfWords(words));

    struct Change
    {
        const char* input;
        void (*apply)();
    };
    const Change changes[] = {
        {"time", [] { Fake::Clock().time += 1; }},
        {"tick count", [] { Fake::Clock().tickCount += 1; }},
        // MT19937 uses only the top bit of state word 0, where the low half of the file time
        // goes: its other bits cannot show in the sequence.
        {"file time low", [] { Fake::Clock().fileTime.dwLowDateTime ^= 0x80000000u; }},
        {"file time high", [] { Fake::Clock().fileTime.dwHighDateTime += 1; }},
        {"cursor x", [] { Fake::Cursor().position.x += 1; }},
        {"cursor y", [] { Fake::Cursor().position.y += 1; }},
    };
    for (const Change& change : changes)
    {
        SetUp();
        Fake::Crypto().genRandomSucceeds = false;
        change.apply();
        EXPECT_NE(SeededNumbers(), baseline) << change.input;
    }
}

TEST_F(SeedTest, FailingCursorQueryCountsAsZero)
{
    Fake::Crypto().genRandomSucceeds = false;
    Fake::Cursor().position = Os::Point{0, 0};
    const std::vector<Long32> atOrigin = SeededNumbers();
    Fake::Cursor().succeeds = false;
    Fake::Cursor().garbageOnFailure = Os::Point{-1, 77};
    EXPECT_EQ(SeededNumbers(), atOrigin);
}

TEST_F(SeedTest, WithoutAProviderSeedUsesTheFallbackAndReleaseHappensOnce)
{
    // Give the load-time provider back, as unloading does, and try again with a failing
    // acquisition: no provider, and every Seed() mixes clocks without asking for bytes.
    const ProviderRestorer restorer;
    Random::ReleaseCryptProvider();
    Random::ReleaseCryptProvider();
    ASSERT_EQ(Fake::CryptoCalls().size(), 1u);
    EXPECT_EQ(Fake::CryptoCalls()[0].kind, Fake::CryptoCallKind::Release);
    EXPECT_EQ(Fake::CryptoCalls()[0].provider, Fake::ProviderHandle());
    EXPECT_EQ(Fake::CryptoCalls()[0].flags, 0u);
    EXPECT_EQ(Random::CryptProvider(), nullptr);

    Fake::ResetCrypto();
    Fake::Crypto().acquireSucceeds = false;
    Random::AcquireCryptProvider();
    EXPECT_EQ(Random::CryptProvider(), nullptr);
    ASSERT_EQ(Fake::CryptoCalls().size(), 1u);
    const Fake::CryptoCall acquire = Fake::CryptoCalls()[0];
    EXPECT_EQ(acquire.kind, Fake::CryptoCallKind::Acquire);
    EXPECT_TRUE(acquire.containerIsNull);
    EXPECT_TRUE(acquire.providerNameIsNull);
    EXPECT_EQ(acquire.providerType, 1u);
    EXPECT_EQ(acquire.flags, 0xF0000000u);

    Fake::ResetCrypto();
    Random::SeedWords words{};
    Random::GatherSeedWords(nullptr, words);
    EXPECT_EQ(SeededNumbers(), NumbersOfWords(words));
    EXPECT_TRUE(Fake::CryptoCalls().empty());
}

} // namespace

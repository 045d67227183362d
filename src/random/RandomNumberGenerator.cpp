// RandomNumberGenerator: MT19937 seeding and the mapping of its draws onto a range.
#include <Tolvane/Util/RandomNumberGenerator.h>

#include "random/CryptProvider.h"
#include "random/SeedWords.h"

// Keeps the two-draw path out of the one-draw path, which then saves no registers.
#if defined(_MSC_VER)
#define TOLVANE_RANDOM_OUT_OF_LINE __declspec(noinline)
#else
#define TOLVANE_RANDOM_OUT_OF_LINE __attribute__((noinline))
#endif

namespace Tolvane::Util {

namespace {

// 58 bits from two draws, reduced in 64 bits: the divisor is 2^32 for the full range.
TOLVANE_RANDOM_OUT_OF_LINE std::uint32_t WideOffset(boost::mt19937& generator, std::uint32_t span)
{
    const std::uint64_t high = generator();
    const std::uint32_t low = generator();
    const std::uint64_t value = (high << 26) ^ (low >> 3);
    if ((span & (span + 1)) == 0)
    {
        // A power-of-two divisor (2^32 for the full range, where span + 1 wraps to 0): the
        // remainder is the low bits, without a 64-bit division.
        return static_cast<std::uint32_t>(value) & span;
    }
    return static_cast<std::uint32_t>(value % (std::uint64_t{span} + 1));
}

} // namespace

RandomNumberGenerator::RandomNumberGenerator()
{
    Seed();
}

RandomNumberGenerator::RandomNumberGenerator(const RandomNumberGenerator& other) = default;

RandomNumberGenerator::~RandomNumberGenerator() = default;

void RandomNumberGenerator::Seed(ULong32 value)
{
    m_Generator.seed(static_cast<std::uint32_t>(value));
}

void RandomNumberGenerator::Seed()
{
    Random::SeedWords words;
    Random::GatherSeedWords(Random::CryptProvider(), words);
    // Exactly 624 words: the range seeding's exception for a short range cannot arise.
    // Both iterators of one type: a mismatch would pick Boost's seed-sequence overload.
    Random::SeedWords::const_iterator first = words.cbegin();
    m_Generator.seed(first, words.cend());
}

Long32 RandomNumberGenerator::GetNumber(Long32 minimum, Long32 maximum)
{
    if (minimum >= maximum)
    {
        return minimum;
    }
    const std::uint32_t span =
        static_cast<std::uint32_t>(maximum) - static_cast<std::uint32_t>(minimum);
    // The draw's upper 29 bits.
    const std::uint32_t offset =
        span < 1024 ? (m_Generator() >> 3) % (span + 1) : WideOffset(m_Generator, span);
    // Two's-complement sum, which lands in [minimum, maximum].
    return static_cast<Long32>(static_cast<std::uint32_t>(minimum) + offset);
}

} // namespace Tolvane::Util

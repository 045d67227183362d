// A Mersenne-twister generator of integers in an inclusive range, seeded by the caller or
// from the system's cryptographic random source.
#pragma once

#include <Tolvane/Util/Api.h>

#include <boost/random/mersenne_twister.hpp>

namespace Tolvane::Util {

// One MT19937 per object. The sequence is reproducible after Seed(value); the default
// constructor and Seed() draw 624 words from the process's cryptographic provider (opened
// when the library loads), or, where that is missing or fails, mix the calendar time, the
// tick count, the system time and the cursor position.
//
// Nothing throws and nothing is allocated. An object is not synchronised: every operation
// changes its state, so one generator must not be used by two threads at once. Separate
// generators may be used on separate threads.
//
// Not assignable: copy-construct a generator to continue another's sequence.
class TOLVANE_UTIL_API RandomNumberGenerator
{
public:
    // Seeds itself with Seed().
    RandomNumberGenerator();
    // Continues from the source's exact position: both return the same numbers from now on.
    RandomNumberGenerator(const RandomNumberGenerator& other);
    RandomNumberGenerator& operator=(const RandomNumberGenerator&) = delete;
    ~RandomNumberGenerator();

    // Restarts the sequence of `value` (the reference MT19937 seeding from one word).
    void Seed(ULong32 value);

    // Reseeds from the cryptographic provider, or from the clocks and the cursor without one.
    void Seed();

    // A number in [minimum, maximum], both inclusive. Returns `minimum` without a draw when
    // minimum >= maximum. Spans below 1024 take one draw, larger spans two; the mapping is a
    // plain remainder (no rejection), identical on every platform for the same seed.
    Long32 GetNumber(Long32 minimum, Long32 maximum);

private:
    boost::mt19937 m_Generator;
};

} // namespace Tolvane::Util

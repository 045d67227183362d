// Random numbers: a Mersenne twister seeded by the system, or by you for a repeatable run.
#include <Tolvane/Util/RandomNumberGenerator.h>

#include <cstdio>

int main()
{
    Tolvane::Util::RandomNumberGenerator dice; // seeded from the system's random source
    std::printf("a die: %ld\n", static_cast<long>(dice.GetNumber(1, 6)));

    Tolvane::Util::RandomNumberGenerator repeatable;
    repeatable.Seed(5489);
    const long first = static_cast<long>(repeatable.GetNumber(0, 9));
    const long second = static_cast<long>(repeatable.GetNumber(0, 9));
    std::printf("seed 5489: %ld %ld\n", first, second); // always 1 2
    return first == 1 && second == 2 ? 0 : 1;
}

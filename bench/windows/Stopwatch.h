// Times two calls against each other with QueryPerformanceCounter, in alternating batches.
#pragma once

#include <cstdint>

namespace Tolvane::Bench {

// Ticks of the performance counter, and their length in nanoseconds.
std::int64_t Ticks();
double NanosecondsPerTick();

struct Timings
{
    double Library; // nanoseconds per call, the best batch
    double Peer;
    bool Ok; // false when a call failed
};

// Runs `library` and `peer` in batches of equal size (about 2 ms each), alternately, until
// `seconds` have passed, and keeps each one's fastest batch: the least disturbed by the rest
// of the machine.
template <typename Library, typename Peer>
Timings Compare(Library library, Peer peer, double seconds)
{
    const double tick = NanosecondsPerTick();
    const auto batch = [&](auto& call, std::int64_t count, double& best) {
        const std::int64_t start = Ticks();
        for (std::int64_t index = 0; index < count; ++index)
        {
            if (!call())
            {
                return false;
            }
        }
        const double perCall =
            static_cast<double>(Ticks() - start) * tick / static_cast<double>(count);
        best = best < perCall ? best : perCall;
        return true;
    };
    Timings timings{1e300, 1e300, true};
    std::int64_t count = 1;
    double probe = 1e300;
    while (timings.Ok && (timings.Ok = batch(library, count, probe)) &&
           probe * static_cast<double>(count) < 2e6 && count < (std::int64_t(1) << 40))
    {
        count *= 2;
        probe = 1e300;
    }
    const std::int64_t end = Ticks() + static_cast<std::int64_t>(seconds * 1e9 / tick);
    do
    {
        timings.Ok = timings.Ok && batch(library, count, timings.Library) &&
                     batch(peer, count, timings.Peer);
    } while (timings.Ok && Ticks() < end);
    return timings;
}

} // namespace Tolvane::Bench

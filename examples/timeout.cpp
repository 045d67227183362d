// Timeout clocks: how long is left of a timeout, and waiting it out.
#include <Tolvane/Util/TimeoutClock.h>

#include <cstdio>

int main()
{
    const Tolvane::Util::TimeoutClock clock(250); // 250 ms from now
    std::printf("left: %llu ms\n",
                static_cast<unsigned long long>(clock.GetRemainingMilliseconds()));
    // Sleep in slices: each no longer than what is left (nor than 100 ms here).
    while (const std::uint64_t slice = clock.GetSafeWaitDuration(100))
    {
        Tolvane::Util::TimeoutClock(slice).Wait();
    }
    clock.Wait(); // returns at once: the clock has run out
    return clock.GetRemainingMilliseconds() == 0 ? 0 : 1;
}

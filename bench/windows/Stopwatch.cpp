// The performance counter behind Compare().
#include "windows/Stopwatch.h"

#include <windows.h>

namespace Tolvane::Bench {

std::int64_t Ticks()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double NanosecondsPerTick()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1e9 / static_cast<double>(frequency.QuadPart);
}

} // namespace Tolvane::Bench

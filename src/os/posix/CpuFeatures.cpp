#include "os/posix/CpuFeatures.h"

namespace Tolvane::Util::Os::Posix {

bool HasSse41()
{
#if defined(TOLVANE_SSE41_PATHS)
    // Asked on first use rather than at load, so that a conversion made while other files'
    // objects are constructed gets the right answer too.
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("sse4.1") != 0 && __builtin_cpu_supports("popcnt") != 0;
    }();
    return has;
#else
    return false;
#endif
}

bool HasAvx2()
{
#if defined(TOLVANE_SSE41_PATHS)
    // The answer also says whether the system saves the wide registers.
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0 && __builtin_cpu_supports("popcnt") != 0;
    }();
    return has;
#else
    return false;
#endif
}

} // namespace Tolvane::Util::Os::Posix

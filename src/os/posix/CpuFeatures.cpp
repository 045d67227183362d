#include "os/posix/CpuFeatures.h"

namespace Tolvane::Util::Os::Posix {

// Zero until asked: asked on first use rather than at load, so that a conversion made while
// other files' objects are constructed gets the right answer too.
std::atomic<unsigned char> KnownCpuFeatures{0};

unsigned char AskCpuFeatures()
{
    unsigned char features = CpuFeatureBits::Known;
#if defined(TOLVANE_SSE41_PATHS)
    __builtin_cpu_init();
    const bool popcnt = __builtin_cpu_supports("popcnt") != 0;
    if (popcnt && __builtin_cpu_supports("sse4.1") != 0)
    {
        features |= CpuFeatureBits::Sse41;
    }
    // The answer also says whether the system saves the wide registers.
    if (popcnt && __builtin_cpu_supports("avx2") != 0)
    {
        features |= CpuFeatureBits::Avx2;
    }
#endif
    KnownCpuFeatures.store(features, std::memory_order_relaxed);
    return features;
}

} // namespace Tolvane::Util::Os::Posix

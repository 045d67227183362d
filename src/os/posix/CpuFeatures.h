// What the processor offers beyond the build's baseline instruction set.
#pragma once

#include <atomic>

// Where such code can be built: functions marked TOLVANE_SSE41 (TOLVANE_AVX2) are compiled for
// SSE4.1 (AVX2) and POPCNT whatever the build's baseline, and run only where HasSse41 (HasAvx2)
// says yes. A build may leave them out (TOLVANE_NO_SIMD_PATHS), to test the baseline paths.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(TOLVANE_NO_SIMD_PATHS)
#define TOLVANE_SSE41_PATHS 1
#define TOLVANE_SSE41 __attribute__((target("sse4.1,popcnt")))
#define TOLVANE_AVX2 __attribute__((target("avx2,popcnt")))
#endif

namespace Tolvane::Util::Os::Posix {

namespace CpuFeatureBits {
constexpr unsigned char Known = 1; // the processor has been asked
constexpr unsigned char Sse41 = 2; // SSE4.1 and POPCNT
constexpr unsigned char Avx2 = 4;  // AVX2 and POPCNT, with the system saving their registers
} // namespace CpuFeatureBits

// The answer, once asked: inline tests of it cost the conversions no call, and so no saving of
// their arguments around one. Every thread that asks first gets the same answer, so a race to
// store it is harmless.
extern std::atomic<unsigned char> KnownCpuFeatures;
unsigned char AskCpuFeatures();

inline unsigned char CpuFeatures()
{
    const unsigned char known = KnownCpuFeatures.load(std::memory_order_relaxed);
    return known != 0 ? known : AskCpuFeatures();
}

// Whether the processor has SSE4.1 and POPCNT, which the code-page engine's eight-unit rounds
// and 64-byte blocks use.
inline bool HasSse41()
{
    return (CpuFeatures() & CpuFeatureBits::Sse41) != 0;
}

// Whether the processor and the system offer AVX2 (and POPCNT), which the UTF-8 codec's
// blocks use.
inline bool HasAvx2()
{
    return (CpuFeatures() & CpuFeatureBits::Avx2) != 0;
}

} // namespace Tolvane::Util::Os::Posix

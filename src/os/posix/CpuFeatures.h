// What the processor offers beyond the build's baseline instruction set.
#pragma once

// Where such code can be built: functions marked TOLVANE_SSE41 (TOLVANE_AVX2) are compiled for
// SSE4.1 (AVX2) and POPCNT whatever the build's baseline, and run only where HasSse41 (HasAvx2)
// says yes. A build may leave them out (TOLVANE_NO_SIMD_PATHS), to test the baseline paths.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(TOLVANE_NO_SIMD_PATHS)
#define TOLVANE_SSE41_PATHS 1
#define TOLVANE_SSE41 __attribute__((target("sse4.1,popcnt")))
#define TOLVANE_AVX2 __attribute__((target("avx2,popcnt")))
#endif

namespace Tolvane::Util::Os::Posix {

// Whether the processor has SSE4.1 and POPCNT, which the code-page engine's eight-unit rounds
// and 64-byte blocks use. Asked of the processor once.
bool HasSse41();

// Whether the processor and the system offer AVX2 (and POPCNT), which the UTF-8 codec's
// blocks use.
bool HasAvx2();

} // namespace Tolvane::Util::Os::Posix

// What the processor offers beyond the build's baseline instruction set.
#pragma once

// Where such code can be built: functions marked TOLVANE_SSE41 are compiled for SSE4.1 and
// POPCNT whatever the build's baseline, and run only where HasSse41 says yes.
#if defined(__x86_64__) && defined(__GNUC__)
#define TOLVANE_SSE41_PATHS 1
#define TOLVANE_SSE41 __attribute__((target("sse4.1,popcnt")))
#endif

namespace Tolvane::Util::Os::Posix {

// Whether the processor has SSE4.1 and POPCNT, which the code-page engine's eight-unit rounds
// and 64-byte blocks use. Asked of the processor once.
bool HasSse41();

} // namespace Tolvane::Util::Os::Posix

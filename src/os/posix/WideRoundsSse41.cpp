// The rounds for processors with SSE4.1 (and POPCNT).
#include "os/posix/CpuFeatures.h"

#if defined(TOLVANE_SSE41_PATHS)
#define TOLVANE_ROUNDS_TARGET TOLVANE_SSE41
#define TOLVANE_ROUNDS_NAMESPACE Sse41
#include "os/posix/WideRoundsLoops.h"
#endif

// The rounds for processors with AVX2: the same loops in the three-operand encoding, which
// needs no register copies, with a round's units tested in one wide register.
#include "os/posix/CpuFeatures.h"

#if defined(TOLVANE_SSE41_PATHS)
#define TOLVANE_ROUNDS_TARGET TOLVANE_AVX2
#define TOLVANE_ROUNDS_NAMESPACE Avx2
#define TOLVANE_ROUNDS_WIDE 1
#include "os/posix/WideRoundsLoops.h"
#endif

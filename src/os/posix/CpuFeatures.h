// What the processor offers beyond the build's baseline instruction set.
#pragma once

namespace Tolvane::Util::Os::Posix {

// Whether the processor has SSE4.1 and POPCNT, which the code-page engine's eight-unit rounds
// and 64-byte blocks use. Asked of the processor once.
bool HasSse41();

} // namespace Tolvane::Util::Os::Posix

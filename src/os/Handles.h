// Opaque handle types that cross the OS seam.
#pragma once

namespace Tolvane::Util::Os {

// A loaded module (HMODULE on Windows). Only a backend knows what it points to.
struct OpaqueModule;
using ModuleHandle = OpaqueModule*;

} // namespace Tolvane::Util::Os

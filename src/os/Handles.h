// Opaque handle types that cross the OS seam.
#pragma once

namespace Tolvane
{
namespace Util
{
namespace Os
{

// A loaded module (HMODULE on Windows). Only a backend knows what it points to.
struct OpaqueModule;
using ModuleHandle = OpaqueModule*;

} // namespace Os
} // namespace Util
} // namespace Tolvane

// Which Windows the program runs on: the NT line, and XP (5.1) or later on it.
#pragma once

#include <Tolvane/Util/Api.h>

namespace Tolvane::Util {

// Both queries ask the system anew on every call (nothing is cached) and throw nothing. They
// use only their own stack, so any thread may call them at any time. A failing query counts
// as "no". On a system that is not Windows (the POSIX build) both are false.

// True when the system reports the NT platform.
TOLVANE_UTIL_API bool IsWindowsNtPlatform() noexcept;

// True when the system reports the NT platform at version 5.1 (XP) or later.
TOLVANE_UTIL_API bool IsWindowsXpOrHigher() noexcept;

} // namespace Tolvane::Util

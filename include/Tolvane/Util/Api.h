// Export macro and the fixed-width integer names of the library's public interface.
#pragma once

#include <cstdint>

// TOLVANE_UTIL_API marks what the shared library exports. On Windows (MSVC and MinGW alike)
// it is dllexport while the library itself is built and dllimport for its clients; elsewhere
// the library is built with hidden visibility and the marked names are the visible ones.
// TOLVANE_UTIL_STATIC is for code that links the library's objects directly (its own tests).
#if defined(TOLVANE_UTIL_STATIC)
#define TOLVANE_UTIL_API
#elif defined(_WIN32)
#if defined(TOLVANE_UTIL_BUILDING)
#define TOLVANE_UTIL_API __declspec(dllexport)
#else
#define TOLVANE_UTIL_API __declspec(dllimport)
#endif
#else
#define TOLVANE_UTIL_API __attribute__((visibility("default")))
#endif

namespace Tolvane::Util {

// The interface speaks Windows' `long` and `unsigned long`, which are 32 bits wide there. They
// stay 32 bits on every platform, so the same values and the same arithmetic hold everywhere.
#if defined(_WIN32)
using Long32 = long;
using ULong32 = unsigned long;
#else
using Long32 = std::int32_t;
using ULong32 = std::uint32_t;
#endif

static_assert(sizeof(Long32) == 4 && sizeof(ULong32) == 4, "32-bit interface integers");

} // namespace Tolvane::Util

// ASCII digit classification and decoding, and normalisation of the invalid-handle value.
#pragma once

#include <Tolvane/Util/Api.h>

namespace Tolvane::Util {

// Pure functions of their argument: no locale, code page or global state takes part. They
// throw nothing and may be called from any thread. Character codes are compared as signed
// values (a narrow or wide character widened to int); a negative code is never a digit.

// True exactly for '0' to '9'.
TOLVANE_UTIL_API bool IsDecimalDigit(int character) noexcept;

// True exactly for '0' to '9', 'a' to 'f' and 'A' to 'F'.
TOLVANE_UTIL_API bool IsHexadecimalDigit(int character) noexcept;

// `character` - '0'. Not checked: test the character with IsDecimalDigit first.
TOLVANE_UTIL_API int DecodeDecimalDigit(int character) noexcept;

// 10 to 15 for 'a' to 'f' and 'A' to 'F', else `character` - '0'. Not checked: test the
// character with IsHexadecimalDigit first.
TOLVANE_UTIL_API int DecodeHexadecimalDigit(int character) noexcept;

// Null for the invalid-handle value (every bit set, Windows' INVALID_HANDLE_VALUE), else
// `handle` unchanged. Lets callers test handles from either convention against null.
TOLVANE_UTIL_API void* MapInvalidHandleValueToZero(void* handle) noexcept;

} // namespace Tolvane::Util

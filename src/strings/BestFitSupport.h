// Whether the running system honours WC_NO_BEST_FIT_CHARS.
#pragma once

namespace Tolvane::Util::StringConversion {

// False on the Windows 95 line before version 4.10 and when the version query fails; true on
// every other system. Asks the system anew on every call.
bool IsBestFitSuppressionSupported();

} // namespace Tolvane::Util::StringConversion

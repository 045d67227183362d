// The process-wide cryptographic provider that seeds every RandomNumberGenerator.
#pragma once

#include "os/Crypto.h"

namespace Tolvane::Util::Random {

// The provider held since the library loaded, null when none is (acquisition failed, or the
// library is unloading). Written only at load and unload, so any thread may read it between.
Os::CryptProviderHandle CryptProvider() noexcept;

// Opens the provider (a context that only serves random bytes) and, only on success, registers
// ReleaseCryptProvider with the library's exit list. A failure leaves no provider and is not
// reported. Runs once, as a static initialiser of the library.
void AcquireCryptProvider() noexcept;

// Closes the provider if one is held, and forgets it. Runs from the library's exit list.
void ReleaseCryptProvider() noexcept;

} // namespace Tolvane::Util::Random

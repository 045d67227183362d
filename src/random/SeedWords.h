// The 624 words that seed a Mersenne twister: from the provider, or a mix of clocks and cursor.
#pragma once

#include "os/Crypto.h"

#include <array>
#include <cstdint>

namespace Tolvane::Util::Random {

// One word per word of MT19937's state.
using SeedWords = std::array<std::uint32_t, 624>;

// Fills every word: with 2496 random bytes of `provider` (little-endian words) when it is
// non-null and serves them; otherwise from the time XOR the tick count stretched by the 69069
// recurrence, with the file-time halves mixed into words 0 and 1 and the cursor position into
// words 2 and 3 (zero when the cursor cannot be read). Always succeeds.
void GatherSeedWords(Os::CryptProviderHandle provider, SeedWords& words) noexcept;

} // namespace Tolvane::Util::Random

// The OS seam's cryptographic random source (advapi32's CryptAcquireContextA and friends).
#pragma once

#include <cstdint>

namespace Tolvane::Util::Os {

// An acquired provider context (HCRYPTPROV). Null means none; only a backend knows the rest.
struct OpaqueCryptProvider;
using CryptProviderHandle = OpaqueCryptProvider*;

constexpr std::uint32_t ProvRsaFull = 1;                 // PROV_RSA_FULL
constexpr std::uint32_t CryptVerifyContext = 0xF0000000; // CRYPT_VERIFYCONTEXT

// Opens a context of `providerType` (container and provider names may be null for the
// defaults) and stores it in `provider`; false, with `provider` unspecified, on failure.
bool CryptAcquireContextA(CryptProviderHandle& provider, const char* container,
                          const char* providerName, std::uint32_t providerType,
                          std::uint32_t flags);

// Fills `buffer` with `length` cryptographically random bytes; false on failure.
bool CryptGenRandom(CryptProviderHandle provider, std::uint32_t length, std::uint8_t* buffer);

// Closes a context opened by CryptAcquireContextA; false when `provider` is not one.
bool CryptReleaseContext(CryptProviderHandle provider, std::uint32_t flags);

} // namespace Tolvane::Util::Os

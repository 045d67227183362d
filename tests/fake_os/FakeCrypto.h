// Fake backend: a cryptographic provider that hands out scripted bytes, or fails, and records
// every call.
#pragma once

#include "os/Crypto.h"

#include <string>
#include <vector>

namespace Tolvane::Util::Os::Fake {

struct CryptoScript
{
    bool acquireSucceeds = true;
    bool genRandomSucceeds = true;
    // The bytes CryptGenRandom hands out, repeated as often as needed; empty gives zeros.
    std::vector<std::uint8_t> randomBytes;
};

enum class CryptoCallKind
{
    Acquire,
    GenRandom,
    Release
};

struct CryptoCall
{
    CryptoCallKind kind;
    CryptProviderHandle provider; // the handle handed out (Acquire) or passed in
    bool containerIsNull;         // Acquire
    bool providerNameIsNull;      // Acquire
    std::uint32_t providerType;   // Acquire
    std::uint32_t flags;          // Acquire, Release
    std::uint32_t length;         // GenRandom
};

// The handle a successful acquisition hands out.
CryptProviderHandle ProviderHandle();

CryptoScript& Crypto();
const std::vector<CryptoCall>& CryptoCalls();
void ResetCrypto();

} // namespace Tolvane::Util::Os::Fake

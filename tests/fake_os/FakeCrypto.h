// Fake backend: a cryptographic provider that answers from a script and records every call in
// fixed storage. The storage is a small shared library of its own, so that a test can load and
// unload a copy of the library built on this fake and still read what happened in it.
#pragma once

#include "os/Crypto.h"

#include <cstddef>
#include <iterator>
#include <string>

#if !defined(_WIN32)
#define TOLVANE_FAKE_CRYPTO_API __attribute__((visibility("default")))
#elif defined(TOLVANE_FAKE_CRYPTO_BUILDING)
#define TOLVANE_FAKE_CRYPTO_API __declspec(dllexport)
#else
#define TOLVANE_FAKE_CRYPTO_API __declspec(dllimport)
#endif

namespace Tolvane::Util::Os::Fake {

struct CryptoCall
{
    char event; // 'A' acquired, 'F' acquisition failed, 'G' CryptGenRandom, 'R' release
    std::uintptr_t provider; // the handle handed out or passed in
    std::uint32_t value;     // the length asked of CryptGenRandom, the flags of a release
};

struct CryptoState
{
    // Acquisition succeeds when scripted so and asked for a verify context of the default
    // PROV_RSA_FULL provider, handing out 0x1000, 0x1001, ...
    bool acquireSucceeds = true;
    bool genRandomSucceeds = true;
    // The bytes CryptGenRandom hands out (as many as asked); zeros when null.
    const std::uint8_t* randomBytes = nullptr;
    std::uintptr_t nextProvider = 0x1000;
    CryptoCall calls[64]; // more is a test fault: counted, not stored
    std::size_t callCount = 0;
};

TOLVANE_FAKE_CRYPTO_API CryptoState& Crypto();

inline void ResetCrypto()
{
    Crypto() = CryptoState{};
}

// The calls as "A4096 G4096:2496 R4096", so that a mismatch reads plainly.
inline std::string CryptoCalls()
{
    std::string text;
    for (std::size_t i = 0; i < Crypto().callCount && i < std::size(Crypto().calls); ++i)
    {
        const CryptoCall& call = Crypto().calls[i];
        text += (text.empty() ? "" : " ") + std::string(1, call.event) +
                std::to_string(call.provider) +
                (call.value != 0 ? ":" + std::to_string(call.value) : "");
    }
    return text;
}

} // namespace Tolvane::Util::Os::Fake

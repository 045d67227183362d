// Fake backend: a cryptographic provider that answers from a script and logs every call in
// fixed storage. The storage is a small shared library of its own, so that a test can load and
// unload a copy of the library built on this fake and still read what happened in it.
#pragma once

#include "os/Crypto.h"

#if !defined(_WIN32)
#define TOLVANE_FAKE_CRYPTO_API __attribute__((visibility("default")))
#elif defined(TOLVANE_FAKE_CRYPTO_BUILDING)
#define TOLVANE_FAKE_CRYPTO_API __declspec(dllexport)
#else
#define TOLVANE_FAKE_CRYPTO_API __declspec(dllimport)
#endif

namespace Tolvane::Util::Os::Fake {

struct CryptoState
{
    // Acquisition succeeds when scripted so and asked for a verify context of the default
    // PROV_RSA_FULL provider, handing out 0x1000, 0x1001, ...
    bool acquireSucceeds = true;
    bool genRandomSucceeds = true;
    // The bytes CryptGenRandom hands out (as many as asked); zeros when null.
    const std::uint8_t* randomBytes = nullptr;
    std::uintptr_t nextProvider = 0x1000;
    // The calls, each an event letter and the handle handed out or passed in, with the length
    // asked or the flags released after a colon when not 0, as "A4096 G4096:2496 R4096".
    // Events: 'A' acquired, 'F' acquisition failed, 'G' CryptGenRandom, 'R' release.
    char calls[512] = {};
};

TOLVANE_FAKE_CRYPTO_API CryptoState& Crypto();

} // namespace Tolvane::Util::Os::Fake

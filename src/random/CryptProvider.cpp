// The process-wide cryptographic provider: acquired while the library loads, released from its
// exit list while it unloads.
#include "random/CryptProvider.h"

namespace Tolvane::Util::Random {

namespace {

// Zero before any initialiser runs (constant initialisation), so the order of static
// initialisers does not matter to readers.
Os::CryptProviderHandle s_CryptProvider = nullptr;

// The clean-up on the library's exit list. Constructing one registers its destructor there: the
// DLL's own exit list on MinGW (as std::atexit does), the shared object's own __cxa_atexit list
// on Linux, which runs at dlclose. A plain std::atexit call would do the same on Linux too, but
// a sanitizer runtime that takes over atexit moves such clean-ups to process exit, after the
// library's code is gone; the destructor of a static stays tied to the library everywhere.
struct ReleaseAtUnload
{
    ReleaseAtUnload() = default;
    ReleaseAtUnload(const ReleaseAtUnload&) = delete;
    ReleaseAtUnload& operator=(const ReleaseAtUnload&) = delete;
    ~ReleaseAtUnload() { ReleaseCryptProvider(); }
};

} // namespace

Os::CryptProviderHandle CryptProvider() noexcept
{
    return s_CryptProvider;
}

void AcquireCryptProvider() noexcept
{
    Os::CryptProviderHandle provider = nullptr;
    if (!Os::CryptAcquireContextA(provider, nullptr, nullptr, Os::ProvRsaFull,
                                  Os::CryptVerifyContext))
    {
        s_CryptProvider = nullptr;
        return;
    }
    s_CryptProvider = provider;
    // Registered on the first success only: at load, once per load of the library.
    static const ReleaseAtUnload s_ReleaseAtUnload;
}

void ReleaseCryptProvider() noexcept
{
    if (s_CryptProvider != nullptr)
    {
        static_cast<void>(Os::CryptReleaseContext(s_CryptProvider, 0));
        s_CryptProvider = nullptr;
    }
}

namespace {

// The library's own static initialiser.
struct AcquireAtLoad
{
    AcquireAtLoad() noexcept { AcquireCryptProvider(); }
};

const AcquireAtLoad s_AcquireAtLoad;

} // namespace

} // namespace Tolvane::Util::Random

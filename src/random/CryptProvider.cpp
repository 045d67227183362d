// The process-wide cryptographic provider: acquired while the library loads, released from its
// exit list while it unloads.
#include "random/CryptProvider.h"

#include <cstdlib>

namespace Tolvane
{
namespace Util
{
namespace Random
{

namespace
{

// Zero before any initialiser runs (constant initialisation), so the order of static
// initialisers does not matter to readers.
Os::CryptProviderHandle s_CryptProvider = nullptr;

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
    // std::atexit in a DLL or shared object registers on the library's own exit list, which
    // runs when it is unloaded (see frame/LibraryEntry.cpp). Should registration fail, the
    // context stays open until the process ends, as it would without a release.
    static_cast<void>(std::atexit(ReleaseCryptProvider));
}

void ReleaseCryptProvider() noexcept
{
    if (s_CryptProvider != nullptr)
    {
        static_cast<void>(Os::CryptReleaseContext(s_CryptProvider, 0));
        s_CryptProvider = nullptr;
    }
}

namespace
{

// The library's own static initialiser.
struct AcquireAtLoad
{
    AcquireAtLoad() noexcept { AcquireCryptProvider(); }
};

const AcquireAtLoad s_AcquireAtLoad;

} // namespace

} // namespace Random
} // namespace Util
} // namespace Tolvane

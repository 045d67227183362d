// win32 backend: advapi32's cryptographic contexts.
#include "os/Crypto.h"

#include "os/win32/WindowsApi.h"

#include <wincrypt.h>

namespace Tolvane::Util::Os {

namespace {

// HCRYPTPROV is an integer the width of a pointer; the seam carries it as an opaque pointer.
static_assert(sizeof(HCRYPTPROV) == sizeof(CryptProviderHandle), "a provider fits the handle");

HCRYPTPROV ToNative(CryptProviderHandle provider)
{
    return reinterpret_cast<HCRYPTPROV>(provider);
}

} // namespace

bool CryptAcquireContextA(CryptProviderHandle& provider, const char* container,
                          const char* providerName, std::uint32_t providerType, std::uint32_t flags)
{
    HCRYPTPROV native = 0;
    if (!::CryptAcquireContextA(&native, container, providerName, providerType, flags))
    {
        return false;
    }
    provider = reinterpret_cast<CryptProviderHandle>(native);
    return true;
}

bool CryptGenRandom(CryptProviderHandle provider, std::uint32_t length, std::uint8_t* buffer)
{
    return ::CryptGenRandom(ToNative(provider), length, buffer) != 0;
}

bool CryptReleaseContext(CryptProviderHandle provider, std::uint32_t flags)
{
    return ::CryptReleaseContext(ToNative(provider), flags) != 0;
}

} // namespace Tolvane::Util::Os

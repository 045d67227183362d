// Fake backend: the provider operations answer from the script and are logged.
#include "FakeCrypto.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace Tolvane::Util::Os {

namespace {

bool Log(char event, CryptProviderHandle provider, std::uint32_t value, bool result)
{
    char* const log = Fake::Crypto().calls;
    const std::size_t used = std::strlen(log);
    std::snprintf(log + used, sizeof(Fake::Crypto().calls) - used,
                  value != 0 ? "%s%c%" PRIuPTR ":%" PRIu32 : "%s%c%" PRIuPTR, used != 0 ? " " : "",
                  event, reinterpret_cast<std::uintptr_t>(provider), value);
    return result;
}

} // namespace

bool CryptAcquireContextA(CryptProviderHandle& provider, const char* container,
                          const char* providerName, std::uint32_t providerType, std::uint32_t flags)
{
    Fake::CryptoState& state = Fake::Crypto();
    if (!state.acquireSucceeds || container != nullptr || providerName != nullptr ||
        providerType != ProvRsaFull || flags != CryptVerifyContext)
    {
        return Log('F', nullptr, 0, false);
    }
    provider = reinterpret_cast<CryptProviderHandle>(state.nextProvider++);
    return Log('A', provider, 0, true);
}

bool CryptGenRandom(CryptProviderHandle provider, std::uint32_t length, std::uint8_t* buffer)
{
    const Fake::CryptoState& state = Fake::Crypto();
    if (!state.genRandomSucceeds || provider == nullptr)
    {
        return Log('G', provider, length, false);
    }
    for (std::uint32_t k = 0; k < length; ++k)
    {
        buffer[k] = state.randomBytes != nullptr ? state.randomBytes[k] : 0;
    }
    return Log('G', provider, length, true);
}

bool CryptReleaseContext(CryptProviderHandle provider, std::uint32_t flags)
{
    return Log('R', provider, flags, provider != nullptr);
}

} // namespace Tolvane::Util::Os

// Fake backend: the provider operations answer from the script and are recorded.
#include "FakeCrypto.h"

#include <cstring>
#include <iterator>

namespace Tolvane::Util::Os {

namespace {

bool Record(char event, CryptProviderHandle provider, std::uint32_t value, bool result)
{
    Fake::CryptoState& state = Fake::Crypto();
    if (state.callCount < std::size(state.calls))
    {
        state.calls[state.callCount] =
            Fake::CryptoCall{event, reinterpret_cast<std::uintptr_t>(provider), value};
    }
    ++state.callCount;
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
        return Record('F', nullptr, 0, false);
    }
    provider = reinterpret_cast<CryptProviderHandle>(state.nextProvider++);
    return Record('A', provider, 0, true);
}

bool CryptGenRandom(CryptProviderHandle provider, std::uint32_t length, std::uint8_t* buffer)
{
    const Fake::CryptoState& state = Fake::Crypto();
    if (!state.genRandomSucceeds || provider == nullptr)
    {
        return Record('G', provider, length, false);
    }
    std::memset(buffer, 0, length);
    if (state.randomBytes != nullptr)
    {
        std::memcpy(buffer, state.randomBytes, length);
    }
    return Record('G', provider, length, true);
}

bool CryptReleaseContext(CryptProviderHandle provider, std::uint32_t flags)
{
    return Record('R', provider, flags, provider != nullptr);
}

} // namespace Tolvane::Util::Os

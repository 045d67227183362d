// Fake backend: the provider operations answer from the script and are recorded.
#include "FakeCrypto.h"

#include <cstddef>

namespace Tolvane {
namespace Util {
namespace Os {
namespace Fake {

namespace {

struct State
{
    CryptoScript script;
    std::vector<CryptoCall> calls;
};

// A function-local static: the library's static initialiser acquires the provider before main.
State& TheState()
{
    static State state;
    return state;
}

} // namespace

CryptProviderHandle ProviderHandle()
{
    static char marker;
    return reinterpret_cast<CryptProviderHandle>(&marker);
}

CryptoScript& Crypto()
{
    return TheState().script;
}

const std::vector<CryptoCall>& CryptoCalls()
{
    return TheState().calls;
}

void ResetCrypto()
{
    TheState() = State{};
}

} // namespace Fake

bool CryptAcquireContextA(CryptProviderHandle& provider, const char* container,
                          const char* providerName, std::uint32_t providerType, std::uint32_t flags)
{
    Fake::State& state = Fake::TheState();
    const bool succeeds = state.script.acquireSucceeds;
    provider = succeeds ? Fake::ProviderHandle() : nullptr;
    state.calls.push_back(Fake::CryptoCall{Fake::CryptoCallKind::Acquire, provider,
                                           container == nullptr, providerName == nullptr,
                                           providerType, flags, 0});
    return succeeds;
}

bool CryptGenRandom(CryptProviderHandle provider, std::uint32_t length, std::uint8_t* buffer)
{
    Fake::State& state = Fake::TheState();
    state.calls.push_back(
        Fake::CryptoCall{Fake::CryptoCallKind::GenRandom, provider, false, false, 0, 0, length});
    if (!state.script.genRandomSucceeds || provider != Fake::ProviderHandle())
    {
        return false;
    }
    const std::vector<std::uint8_t>& bytes = state.script.randomBytes;
    for (std::size_t i = 0; i < length; ++i)
    {
        buffer[i] = bytes.empty() ? 0 : bytes[i % bytes.size()];
    }
    return true;
}

bool CryptReleaseContext(CryptProviderHandle provider, std::uint32_t flags)
{
    Fake::TheState().calls.push_back(
        Fake::CryptoCall{Fake::CryptoCallKind::Release, provider, false, false, 0, flags, 0});
    return provider == Fake::ProviderHandle();
}

} // namespace Os
} // namespace Util
} // namespace Tolvane

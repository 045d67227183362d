// The fake module's provider: answers from the ledger's script and records every call there.
#include "os/Crypto.h"

#include "lifecycle/ProviderLedger.h"

#include <cstring>

namespace Tolvane::Util::Os {

namespace Ledger = Testing::Ledger;

bool CryptAcquireContextA(CryptProviderHandle& provider, const char* /*container*/,
                          const char* /*providerName*/, std::uint32_t /*providerType*/,
                          std::uint32_t /*flags*/)
{
    if (!Ledger::AcquisitionSucceeds())
    {
        Ledger::Record(Ledger::ProviderEvent::AcquireFailed, 0);
        return false;
    }
    const std::uintptr_t handle = Ledger::NextProviderHandle();
    Ledger::Record(Ledger::ProviderEvent::AcquireSucceeded, handle);
    provider = reinterpret_cast<CryptProviderHandle>(handle);
    return true;
}

bool CryptGenRandom(CryptProviderHandle provider, std::uint32_t length, std::uint8_t* buffer)
{
    Ledger::Record(Ledger::ProviderEvent::GenRandom, reinterpret_cast<std::uintptr_t>(provider));
    std::memset(buffer, 0x5A, length);
    return true;
}

bool CryptReleaseContext(CryptProviderHandle provider, std::uint32_t /*flags*/)
{
    Ledger::Record(Ledger::ProviderEvent::Release, reinterpret_cast<std::uintptr_t>(provider));
    return true;
}

} // namespace Tolvane::Util::Os

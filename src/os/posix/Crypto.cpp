// posix backend: the kernel's getrandom behind a provider that is acquired and released like an
// advapi32 context, so the portable code keeps one lifecycle on every system.
#include "os/Crypto.h"

#include <sys/random.h>

#include <cerrno>
#include <cstddef>

namespace Tolvane::Util::Os {

// The provider holds no state of its own: the kernel's pool serves every request. Its handle
// is the address of this object, so that a foreign handle can be told apart.
struct OpaqueCryptProvider
{
    int unused;
};

namespace {

OpaqueCryptProvider s_KernelProvider{0};

} // namespace

bool CryptAcquireContextA(CryptProviderHandle& provider, const char* /*container*/,
                          const char* /*providerName*/, std::uint32_t providerType,
                          std::uint32_t flags)
{
    // Only an ephemeral context of the default type is offered: there are no key containers.
    if (providerType != ProvRsaFull || (flags & CryptVerifyContext) != CryptVerifyContext)
    {
        return false;
    }
    // A kernel without getrandom (before Linux 3.17) answers ENOSYS; an early-boot pool that
    // is not ready yet (EAGAIN) will be by the time it is needed, since draws block until then.
    if (getrandom(nullptr, 0, GRND_NONBLOCK) < 0 && errno == ENOSYS)
    {
        return false;
    }
    provider = &s_KernelProvider;
    return true;
}

bool CryptGenRandom(CryptProviderHandle provider, std::uint32_t length, std::uint8_t* buffer)
{
    if (provider != &s_KernelProvider)
    {
        return false;
    }
    std::size_t filled = 0;
    while (filled < length)
    {
        // Large requests may come back short, and signals may interrupt them: keep asking.
        const ssize_t got = getrandom(buffer + filled, length - filled, 0);
        if (got < 0)
        {
            if (errno == EINTR)
            {
                continue;
            }
            return false;
        }
        filled += static_cast<std::size_t>(got);
    }
    return true;
}

bool CryptReleaseContext(CryptProviderHandle provider, std::uint32_t /*flags*/)
{
    return provider == &s_KernelProvider;
}

} // namespace Tolvane::Util::Os

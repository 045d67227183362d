// Seed words from the cryptographic provider, or from clocks and the cursor without one.
#include "random/SeedWords.h"

#include "os/Clock.h"
#include "os/Cursor.h"

#include <cstddef>

namespace Tolvane::Util::Random {

namespace {

constexpr std::uint32_t SeedBytes = static_cast<std::uint32_t>(sizeof(SeedWords));
static_assert(SeedBytes == 2496, "624 words of 4 bytes");

bool GatherFromProvider(Os::CryptProviderHandle provider, SeedWords& words) noexcept
{
    std::uint8_t bytes[SeedBytes];
    if (!Os::CryptGenRandom(provider, SeedBytes, bytes))
    {
        return false;
    }
    for (std::size_t k = 0; k < words.size(); ++k)
    {
        const std::uint8_t* word = bytes + 4 * k;
        words[k] = static_cast<std::uint32_t>(word[0]) | static_cast<std::uint32_t>(word[1]) << 8 |
                   static_cast<std::uint32_t>(word[2]) << 16 |
                   static_cast<std::uint32_t>(word[3]) << 24;
    }
    return true;
}

void GatherFallback(SeedWords& words) noexcept
{
    // The calendar time is read before the tick count.
    const std::uint32_t seconds = static_cast<std::uint32_t>(Os::Time());
    std::uint32_t s = seconds ^ Os::GetTickCount();
    for (std::uint32_t& word : words)
    {
        s *= 69069u;
        word = s;
    }

    const Os::FileTime now = Os::GetSystemTimeAsFileTime();
    words[0] ^= now.dwLowDateTime;
    words[1] ^= now.dwHighDateTime;

    // Without a cursor (no interactive desktop) the position counts as zero, so the result
    // stays defined whatever the failed query left in the point.
    Os::Point cursor{0, 0};
    if (!Os::GetCursorPos(cursor))
    {
        cursor = Os::Point{0, 0};
    }
    words[2] ^= static_cast<std::uint32_t>(cursor.x);
    words[3] ^= static_cast<std::uint32_t>(cursor.y);
}

} // namespace

void GatherSeedWords(Os::CryptProviderHandle provider, SeedWords& words) noexcept
{
    if (provider != nullptr && GatherFromProvider(provider, words))
    {
        return;
    }
    GatherFallback(words);
}

} // namespace Tolvane::Util::Random

// The byte shuffles that turn a round's eight codes into their bytes.
#pragma once

#include <array>
#include <cstdint>

#include "os/posix/WideRounds.h"

namespace Tolvane::Util::Os::Posix {

// For each set of codes that take two bytes (bit k for code k), the shuffle that makes their
// bytes from eight 16-bit codes in little-endian order.
constexpr std::array<std::array<std::uint8_t, 16>, 256> MakeCompactShuffles()
{
    std::array<std::array<std::uint8_t, 16>, 256> shuffles{};
    for (unsigned twoBytes = 0; twoBytes < 256; ++twoBytes)
    {
        unsigned at = 0;
        for (unsigned k = 0; k < RoundUnits; ++k)
        {
            if ((twoBytes >> k & 1) != 0)
            {
                shuffles[twoBytes][at++] = static_cast<std::uint8_t>(2 * k + 1);
            }
            shuffles[twoBytes][at++] = static_cast<std::uint8_t>(2 * k);
        }
        while (at < 16)
        {
            shuffles[twoBytes][at++] = 0x80; // a zero byte, past the round's output
        }
    }
    return shuffles;
}

alignas(16) inline constexpr auto CompactShuffles = MakeCompactShuffles();

} // namespace Tolvane::Util::Os::Posix

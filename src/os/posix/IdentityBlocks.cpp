// A block is packed to sixteen bytes once every unit is known to lie below U+0100, and the
// bytes are then tested against the page's set in one go.
#include "os/posix/IdentityBlocks.h"

#include "os/posix/ByteSet.h"
#include "os/posix/CodePageTables.h"
#include "os/posix/CpuFeatures.h"

#include <algorithm>

namespace Tolvane::Util::Os::Posix {

namespace {

#if defined(TOLVANE_SSE41_PATHS)

static_assert(sizeof(wchar_t) == 4, "the blocks read UTF-32 units");

// The bytes of the sixteen units at `units`, when each of them is in `identity`.
TOLVANE_SSE41 bool IdentityBlock(const ByteSet& identity, const wchar_t* units, __m128i& bytes)
{
    const auto* const parts = reinterpret_cast<const __m128i*>(units);
    const __m128i first = _mm_loadu_si128(parts);
    const __m128i second = _mm_loadu_si128(parts + 1);
    const __m128i third = _mm_loadu_si128(parts + 2);
    const __m128i fourth = _mm_loadu_si128(parts + 3);
    // Also rules out negative values, which packing would clamp to 0.
    const __m128i all = _mm_or_si128(_mm_or_si128(first, second), _mm_or_si128(third, fourth));
    if (!_mm_testz_si128(all, _mm_set1_epi32(~0xFF)))
    {
        return false;
    }
    bytes = _mm_packus_epi16(_mm_packus_epi32(first, second), _mm_packus_epi32(third, fourth));
    return identity.Members(bytes) == 0xFFFF;
}

TOLVANE_SSE41 std::size_t Blocks(const std::uint8_t* identityBits, const wchar_t* input,
                                 std::size_t length, std::size_t room, char* output)
{
    const ByteSet identity(identityBits);
    const std::size_t end = std::min(length, room);
    std::size_t i = 0;
    while (end - i >= IdentityBlockUnits)
    {
        // A unit that may compose with the last of the block leaves the block to the caller.
        if (i + IdentityBlockUnits < length &&
            static_cast<char32_t>(input[i + IdentityBlockUnits]) >= LowestCombiningUnit)
        {
            break;
        }
        __m128i bytes;
        if (!IdentityBlock(identity, input + i, bytes))
        {
            break;
        }
        if (output != nullptr)
        {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(output + i), bytes);
        }
        i += IdentityBlockUnits;
    }
    return i;
}

#endif

} // namespace

// Without the SIMD paths the parameters go unused.
std::size_t IdentityBlocks([[maybe_unused]] const std::uint8_t* identityBits,
                           [[maybe_unused]] const wchar_t* input,
                           [[maybe_unused]] std::size_t length, [[maybe_unused]] std::size_t room,
                           [[maybe_unused]] char* output)
{
#if defined(TOLVANE_SSE41_PATHS)
    if (HasSse41())
    {
        return Blocks(identityBits, input, length, room, output);
    }
#endif
    return 0;
}

} // namespace Tolvane::Util::Os::Posix

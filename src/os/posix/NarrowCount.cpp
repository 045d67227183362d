// A block of 64 bytes is classified at once (lead bytes, NUL bytes); which lead bytes really
// lead then follows from runs of possible leads, since in such a run every other byte leads.
// The characters are the bytes that are no trail byte.
#include "os/posix/NarrowCount.h"

#include "os/posix/ByteSet.h"
#include "os/posix/CpuFeatures.h"

namespace Tolvane::Util::Os::Posix {

namespace {

// One character at a time from `i`, where no trail byte stands.
std::size_t CountFrom(const std::uint32_t* leadRows, const unsigned char* bytes, std::size_t i,
                      std::size_t length)
{
    std::size_t count = 0;
    while (i < length)
    {
        const bool pair = leadRows[bytes[i]] != 0 && i + 1 < length && bytes[i + 1] != 0;
        i += pair ? 2 : 1;
        ++count;
    }
    return count;
}

#if defined(TOLVANE_SSE41_PATHS)

constexpr std::size_t BlockBytes = 64;
constexpr std::uint64_t EvenBits = 0x5555555555555555u;

class BlockReader
{
public:
    TOLVANE_SSE41 explicit BlockReader(const std::uint8_t* leadBits) : m_LeadBytes(leadBits) {}

    // Bit k set when byte k of the block at `bytes` leads a pair with the byte after it (byte
    // 64 follows the block); `carry` is 1 when the first byte is the trail byte of the block
    // before.
    TOLVANE_SSE41 std::uint64_t Leads(const unsigned char* bytes, std::uint64_t carry) const
    {
        std::uint64_t leads = 0;
        std::uint64_t nuls = 0;
        for (unsigned k = 0; k < BlockBytes / 16; ++k)
        {
            const __m128i part = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * k));
            leads |= std::uint64_t{m_LeadBytes.Members(part)} << 16 * k;
            nuls |= static_cast<std::uint64_t>(static_cast<std::uint32_t>(
                        _mm_movemask_epi8(_mm_cmpeq_epi8(part, _mm_setzero_si128()))))
                    << 16 * k;
        }
        nuls = nuls >> 1 | std::uint64_t{bytes[BlockBytes] == 0} << 63;
        // The lead bytes that a byte other than NUL follows. In a run of them the first leads,
        // the second trails, and so on: the runs that start at an even bit lead at even bits,
        // the others at odd bits.
        const std::uint64_t mayLead = leads & ~nuls & ~carry;
        const std::uint64_t starts = mayLead & ~(mayLead << 1);
        const std::uint64_t evenRuns = mayLead & ~(mayLead + (starts & EvenBits));
        return (evenRuns & EvenBits) | (mayLead & ~evenRuns & ~EvenBits);
    }

private:
    ByteSet m_LeadBytes;
};

// Where the block's characters start: every byte but the trail bytes.
inline std::uint64_t CharacterStarts(std::uint64_t leads, std::uint64_t carry)
{
    return ~(leads << 1 | carry);
}

// 1 when the block's last byte leads a pair whose trail byte is the first of the next block.
// The next block starts there all the same, so that where it starts does not wait for this
// block's lead bytes.
inline std::uint64_t Carry(std::uint64_t leads)
{
    return leads >> 63;
}

TOLVANE_SSE41 std::size_t CountInBlocks(const CodePageTable& page, const unsigned char* bytes,
                                        std::size_t length)
{
    const BlockReader reader(page.leadBits);
    std::size_t count = 0;
    std::size_t i = 0;
    std::uint64_t carry = 0;
    while (length - i > BlockBytes)
    {
        const std::uint64_t leads = reader.Leads(bytes + i, carry);
        count += static_cast<std::size_t>(__builtin_popcountll(CharacterStarts(leads, carry)));
        carry = Carry(leads);
        i += BlockBytes;
    }
    return count + CountFrom(page.leadRows, bytes, i + carry, length);
}

#endif

} // namespace

std::size_t CountDoubleByteCharacters(const CodePageTable& page, const unsigned char* bytes,
                                      std::size_t length)
{
#if defined(TOLVANE_SSE41_PATHS)
    if (HasSse41() && length > 2 * BlockBytes)
    {
        return CountInBlocks(page, bytes, length);
    }
#endif
    return CountFrom(page.leadRows, bytes, 0, length);
}

} // namespace Tolvane::Util::Os::Posix

// The rounds of the processor's instruction set: AVX2 where it has it, else SSE4.1; without
// either they take nothing.
#include "os/posix/WideRounds.h"

#include "os/posix/CpuFeatures.h"
#include "os/posix/WideRoundsVariants.h"

namespace Tolvane::Util::Os::Posix {

#if defined(TOLVANE_SSE41_PATHS)

std::size_t PlainSingleByteRounds(const std::int32_t* bases, const wchar_t* input,
                                  std::size_t length, std::size_t room, char* output,
                                  std::size_t& produced)
{
    return HasAvx2() ? Avx2::PlainSingleByteRounds(bases, input, length, room, output, produced)
                     : Sse41::PlainSingleByteRounds(bases, input, length, room, output, produced);
}

std::size_t PlainDoubleByteRounds(const std::int32_t* bases, const wchar_t* input,
                                  std::size_t length, std::size_t room, char* output,
                                  std::size_t& produced)
{
    return HasAvx2() ? Avx2::PlainDoubleByteRounds(bases, input, length, room, output, produced)
                     : Sse41::PlainDoubleByteRounds(bases, input, length, room, output, produced);
}

std::size_t WriteRounds(const RoundTables& tables, const wchar_t* input, std::size_t i,
                        std::size_t end, std::uint16_t& code, RoundDefaults& defaults, char*& next)
{
    if (HasAvx2())
    {
        return Avx2::WriteRounds(tables, input, i, end, code, defaults, next);
    }
    return HasSse41() ? Sse41::WriteRounds(tables, input, i, end, code, defaults, next) : i;
}

std::size_t CountRounds(const RoundTables& tables, const wchar_t* input, std::size_t i,
                        std::size_t end, std::uint16_t& code, RoundDefaults& defaults,
                        std::size_t& count)
{
    if (HasAvx2())
    {
        return Avx2::CountRounds(tables, input, i, end, code, defaults, count);
    }
    return HasSse41() ? Sse41::CountRounds(tables, input, i, end, code, defaults, count) : i;
}

#else

std::size_t WriteRounds(const RoundTables&, const wchar_t*, std::size_t i, std::size_t,
                        std::uint16_t&, RoundDefaults&, char*&)
{
    return i;
}

std::size_t CountRounds(const RoundTables&, const wchar_t*, std::size_t i, std::size_t,
                        std::uint16_t&, RoundDefaults&, std::size_t&)
{
    return i;
}

std::size_t PlainSingleByteRounds(const std::int32_t*, const wchar_t*, std::size_t, std::size_t,
                                  char*, std::size_t&)
{
    return 0;
}

std::size_t PlainDoubleByteRounds(const std::int32_t*, const wchar_t*, std::size_t, std::size_t,
                                  char*, std::size_t&)
{
    return 0;
}

#endif

} // namespace Tolvane::Util::Os::Posix

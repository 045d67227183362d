// The rounds of each instruction set (WideRoundsLoops.h), which WideRounds.cpp chooses between.
#pragma once

#include "os/posix/WideRounds.h"

// The entries of WideRounds.h, declared in each instruction set's namespace.
#define TOLVANE_WIDE_ROUNDS_ENTRIES                                                                \
    std::size_t PlainSingleByteRounds(const std::int32_t* bases, const wchar_t* input,             \
                                      std::size_t length, std::size_t room, char* output,          \
                                      std::size_t& produced);                                      \
    std::size_t PlainDoubleByteRounds(const std::int32_t* bases, const wchar_t* input,             \
                                      std::size_t length, std::size_t room, char* output,          \
                                      std::size_t& produced);                                      \
    std::size_t WriteRounds(const RoundTables& tables, const wchar_t* input, std::size_t i,        \
                            std::size_t end, std::uint16_t& code, RoundDefaults& defaults,         \
                            char*& next);                                                          \
    std::size_t CountRounds(const RoundTables& tables, const wchar_t* input, std::size_t i,        \
                            std::size_t end, std::uint16_t& code, RoundDefaults& defaults,         \
                            std::size_t& count);

namespace Tolvane::Util::Os::Posix::Sse41 {
TOLVANE_WIDE_ROUNDS_ENTRIES
} // namespace Tolvane::Util::Os::Posix::Sse41

namespace Tolvane::Util::Os::Posix::Avx2 {
TOLVANE_WIDE_ROUNDS_ENTRIES
} // namespace Tolvane::Util::Os::Posix::Avx2

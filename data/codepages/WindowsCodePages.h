// The code pages that Windows (as Wine 8.0 emulates it) converts with tables: the set the
// recorded answers cover, shared by the program that records them and the table generator.
#pragma once

#include <cstdint>

namespace Tolvane::CodePageData {

constexpr std::uint32_t TableCodePages[] = {
    37,    437,   500,   708,   720,   737,   775,   850,   852,   855,   857,   860,
    861,   862,   863,   864,   865,   866,   869,   874,   875,   932,   936,   949,
    950,   1026,  1250,  1251,  1252,  1253,  1254,  1255,  1256,  1257,  1258,  1361,
    10000, 10001, 10002, 10003, 10004, 10005, 10006, 10007, 10008, 10010, 10017, 10021,
    10029, 10079, 10081, 10082, 20127, 20866, 20932, 20949, 21866, 28591, 28592, 28593,
    28594, 28595, 28596, 28597, 28598, 28599, 28603, 28605};

// The pages with lead bytes, whose byte pairs are recorded too.
constexpr std::uint32_t DoubleBytePages[] = {932,   936,   949,   950,   1361, 10001,
                                             10002, 10003, 10008, 20932, 20949};

} // namespace Tolvane::CodePageData

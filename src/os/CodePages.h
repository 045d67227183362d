// The OS seam's code-page conversions, with the contract of Windows' kernel32 calls.
#pragma once

#include <cstdint>

namespace Tolvane::Util::Os {

// Code pages and flags with Windows' published values.
constexpr std::uint32_t CodePageAnsi = 0; // CP_ACP
constexpr std::uint32_t CodePageOem = 1;  // CP_OEMCP
constexpr std::uint32_t CodePageUtf7 = 65000;
constexpr std::uint32_t CodePageUtf8 = 65001;

constexpr std::uint32_t WcSepChars = 0x20;        // WC_SEPCHARS
constexpr std::uint32_t WcCompositeCheck = 0x200; // WC_COMPOSITECHECK
constexpr std::uint32_t WcNoBestFitChars = 0x400; // WC_NO_BEST_FIT_CHARS
constexpr std::uint32_t MbPrecomposed = 1;        // MB_PRECOMPOSED

// WideCharToMultiByte: converts `sourceLength` wide units (UTF-16 on Windows, UTF-32 in
// wchar_t elsewhere) to code page `codePage`. With `destination` null and size 0 it returns
// the number of bytes needed; otherwise the number written, or 0 when the buffer is too small.
// `defaultChar` (one character, NUL-terminated) and `usedDefaultChar` may be null; both must
// be null for the UTF code pages. Returns 0 on any failure, including an unknown code page or
// flags that the code page does not take.
std::int32_t WideCharToMultiByte(std::uint32_t codePage, std::uint32_t flags, const wchar_t* source,
                                 std::int32_t sourceLength, char* destination,
                                 std::int32_t destinationSize, const char* defaultChar,
                                 std::int32_t* usedDefaultChar);

// MultiByteToWideChar: the reverse, in bytes in and wide units out, with the same sizing
// convention and failure result.
std::int32_t MultiByteToWideChar(std::uint32_t codePage, std::uint32_t flags, const char* source,
                                 std::int32_t sourceLength, wchar_t* destination,
                                 std::int32_t destinationSize);

// The code pages that CodePageAnsi and CodePageOem stand for (GetACP, GetOEMCP).
std::uint32_t GetAnsiCodePage();
std::uint32_t GetOemCodePage();

} // namespace Tolvane::Util::Os

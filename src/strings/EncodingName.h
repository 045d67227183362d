// Encoding names: the vocabulary that callers use to name each side of a conversion.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Tolvane::Util::StringConversion {

// ResolveCodePage's answer as it leaves the compiled function: two scalars come back in
// registers, where a returned optional is assembled in memory by two stores and read back by
// one wider load, a pattern that stalls the processor on every conversion.
struct CodePageLookup
{
    std::uint32_t codePage;
    bool recognised;
};

CodePageLookup LookUpCodePage(const std::string& encodingName);

// Resolves a narrow-side encoding name to a code page: "" and "ANSI" give 0, "OEM" 1,
// "UTF-7" 65000, "UTF-8" 65001, and "CP<number>" the number (any name longer than two
// characters that starts with "CP" is read as one). No value means the name is unrecognised.
// Throws boost::bad_lexical_cast when the number of a "CP" name does not parse.
inline std::optional<std::uint32_t> ResolveCodePage(const std::string& encodingName)
{
    const CodePageLookup found = LookUpCodePage(encodingName);
    return found.recognised ? std::optional<std::uint32_t>(found.codePage) : std::nullopt;
}

// A wide-side name is accepted when it is empty or "UTF-16".
inline bool IsWideEncodingName(const std::string& encodingName)
{
    return encodingName.empty() || std::string_view(encodingName) == "UTF-16";
}

} // namespace Tolvane::Util::StringConversion

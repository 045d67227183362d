// Encoding names: the vocabulary that callers use to name each side of a conversion.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace Tolvane::Util::StringConversion {

// Resolves a narrow-side encoding name to a code page: "" and "ANSI" give 0, "OEM" 1,
// "UTF-7" 65000, "UTF-8" 65001, and "CP<number>" the number (any name longer than two
// characters that starts with "CP" is read as one). No value means the name is unrecognised.
// Throws boost::bad_lexical_cast when the number of a "CP" name does not parse.
std::optional<std::uint32_t> ResolveCodePage(const std::string& encodingName);

// A wide-side name is accepted when it is empty or "UTF-16".
bool IsWideEncodingName(const std::string& encodingName);

} // namespace Tolvane::Util::StringConversion

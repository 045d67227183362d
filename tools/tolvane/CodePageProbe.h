// Facts about the system's code pages, found out through the library's conversions alone.
#pragma once

#include <optional>
#include <string>

namespace Tolvane::Tool {

// The number of the code page that the encoding name ("ANSI", "OEM") stands for, found by
// comparing how it and well-known code pages decode; nothing when none of them matches.
std::optional<unsigned> IdentifyCodePage(const std::string& encodingName);

// Whether the system can forbid best-fit mapping (else a forbidden best fit fails the
// conversion instead of giving the default character).
bool CanForbidBestFit();

} // namespace Tolvane::Tool

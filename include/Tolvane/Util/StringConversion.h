// Text conversion between wide strings and narrow strings in a named encoding.
#pragma once

#include <Tolvane/Util/Api.h>

#include <string>

namespace Tolvane
{
namespace Util
{
namespace StringConversion
{

// Whether a wide character without an exact counterpart in the target code page may be
// replaced by a look-alike. Any value other than DisallowBestFitMapping behaves as
// AllowBestFitMapping.
enum BestFitMappingPolicy
{
    AllowBestFitMapping = 0,
    DisallowBestFitMapping = 1
};

// Whose default character replaces a character that the target code page cannot represent.
// Any value other than UseSystemDefaultChar behaves as UseSpecifiedDefaultChar.
enum CharacterSubstitutionPolicy
{
    UseSpecifiedDefaultChar = 0,
    UseSystemDefaultChar = 1
};

// Encoding names, compared exactly and case-sensitively:
//   narrow side: "" or "ANSI" (the system ANSI code page), "OEM" (the OEM code page),
//                "UTF-7", "UTF-8", or "CP" followed by a code-page number ("CP1252");
//   wide side:   "" or "UTF-16" (the platform's wide encoding: UTF-16 on Windows, UTF-32
//                in wchar_t elsewhere).
// The entry points below return false when the platform cannot convert the text and write
// their outputs only when they return true. They are reentrant: any number of threads may
// convert at once.
namespace Detail
{

// Converts `source` from the narrow encoding `sourceEncoding` to the wide encoding
// `destinationEncoding`; `destination` is written only on success.
// Throws std::invalid_argument for an unrecognised encoding name ("ConvertStringToWString:
// invalid destination encoding." / "...: invalid source encoding."), boost::bad_lexical_cast
// for a "CP" name whose number does not parse, std::bad_alloc when memory runs out.
TOLVANE_UTIL_API bool ConvertStringToWString(const std::string& source, std::wstring& destination,
                                             const std::string& sourceEncoding,
                                             const std::string& destinationEncoding);

} // namespace Detail
} // namespace StringConversion
} // namespace Util
} // namespace Tolvane

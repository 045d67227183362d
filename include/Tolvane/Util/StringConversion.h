// Text conversion between wide strings and narrow strings in a named encoding.
#pragma once

#include <Tolvane/Util/Api.h>

#include <string>

namespace Tolvane::Util::StringConversion {

// Whether a wide character without an exact counterpart in the target code page may be
// replaced by a look-alike. Any value other than DisallowBestFitMapping behaves as
// AllowBestFitMapping. The fixed underlying type makes every int value a valid policy (without
// it only 0 and 1 would be); it changes neither the size nor the mangled name.
enum BestFitMappingPolicy : int
{
    AllowBestFitMapping = 0,
    DisallowBestFitMapping = 1
};

// Whose default character replaces a character that the target code page cannot represent.
// Any value other than UseSystemDefaultChar behaves as UseSpecifiedDefaultChar; as above, every
// int value is a valid policy.
enum CharacterSubstitutionPolicy : int
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
namespace Detail {

// Converts `source` from the wide encoding `sourceEncoding` to the narrow encoding
// `destinationEncoding`. With DisallowBestFitMapping a character without an exact counterpart
// becomes the default character instead of a look-alike; on systems that cannot forbid best
// fit (the Windows 95 line before 4.10) the text must survive a round trip instead, or the
// call returns false. With UseSpecifiedDefaultChar, `defaultChar` replaces what the code page
// cannot represent and `usedDefaultChar` tells whether that happened; with UseSystemDefaultChar
// the code page's own default is used and `usedDefaultChar` reads false. On UTF code pages (and
// on "ANSI"/"OEM" where the system's code page is UTF-7 or UTF-8) both policies and
// `defaultChar` are ignored. `destination` and `usedDefaultChar` are written only on success.
// Throws std::invalid_argument for an unrecognised encoding name ("ConvertWStringToString:
// invalid source encoding." / "...: invalid destination encoding."), boost::bad_lexical_cast for
// a "CP" name whose number does not parse, std::bad_alloc when memory runs out.
TOLVANE_UTIL_API bool
ConvertWStringToString(const std::wstring& source, std::string& destination,
                       const std::string& sourceEncoding, const std::string& destinationEncoding,
                       BestFitMappingPolicy bestFitMappingPolicy,
                       CharacterSubstitutionPolicy characterSubstitutionPolicy, char defaultChar,
                       bool& usedDefaultChar);

// Converts `source` from the narrow encoding `sourceEncoding` to the wide encoding
// `destinationEncoding`; `destination` is written only on success.
// Throws std::invalid_argument for an unrecognised encoding name ("ConvertStringToWString:
// invalid destination encoding." / "...: invalid source encoding."), boost::bad_lexical_cast
// for a "CP" name whose number does not parse, std::bad_alloc when memory runs out.
TOLVANE_UTIL_API bool ConvertStringToWString(const std::string& source, std::wstring& destination,
                                             const std::string& sourceEncoding,
                                             const std::string& destinationEncoding);

// Throws Tolvane::ConvertStringException (declared in <Tolvane/Exception.h>) carrying
// `message`, or std::bad_alloc when memory runs out. Never returns.
[[noreturn]] TOLVANE_UTIL_API void ThrowConvertStringException(const std::string& message);

} // namespace Detail
} // namespace Tolvane::Util::StringConversion

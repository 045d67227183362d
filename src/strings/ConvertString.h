// The wide-to-narrow conversion that throws instead of returning false.
#pragma once

#include <Tolvane/Util/StringConversion.h>

#include <string>

namespace Tolvane::Util::StringConversion {

// Converts like ConvertWStringToString with the default character '?', and returns the text.
// A failed conversion throws Tolvane::ConvertStringException ("String conversion from (...)
// to (...) failed."); what ConvertWStringToString throws passes unchanged.
std::string ConvertString(const std::wstring& source, const std::string& sourceEncoding,
                          const std::string& destinationEncoding,
                          const BestFitMappingPolicy& bestFitMappingPolicy,
                          const CharacterSubstitutionPolicy& characterSubstitutionPolicy);

} // namespace Tolvane::Util::StringConversion

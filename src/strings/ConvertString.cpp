// Conversion failures raised as exceptions.
#include "strings/ConvertString.h"

#include <Tolvane/Exception.h>

#include <typeinfo>

namespace Tolvane::Util::StringConversion {

namespace Detail {

void ThrowConvertStringException(const std::string& message)
{
    throw ConvertStringException(message);
}

} // namespace Detail

std::string ConvertString(const std::wstring& source, const std::string& sourceEncoding,
                          const std::string& destinationEncoding,
                          const BestFitMappingPolicy& bestFitMappingPolicy,
                          const CharacterSubstitutionPolicy& characterSubstitutionPolicy)
{
    std::string destination;
    bool usedDefaultChar = false;
    if (!Detail::ConvertWStringToString(source, destination, sourceEncoding, destinationEncoding,
                                        bestFitMappingPolicy, characterSubstitutionPolicy, '?',
                                        usedDefaultChar))
    {
        // The type names are the platform's run-time names, whatever they read.
        Detail::ThrowConvertStringException(std::string("String conversion from (") +
                                            typeid(std::wstring).name() + ") to (" +
                                            typeid(std::string).name() + ") failed.");
    }
    return destination;
}

} // namespace Tolvane::Util::StringConversion

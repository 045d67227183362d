// The exported wide-to-narrow conversion, with its round trip for systems that cannot forbid
// best-fit mapping.
#include <Tolvane/Util/StringConversion.h>

#include "strings/BestFitSupport.h"
#include "strings/ConversionFlags.h"
#include "strings/EncodingName.h"
#include "strings/PlatformConversion.h"

#include <stdexcept>

namespace Tolvane::Util::StringConversion::Detail {

namespace {

// Converts with best fit allowed and accepts the result only if it converts back to exactly
// the source: any look-alike or default character shows up as a difference.
bool ConvertByRoundTrip(std::uint32_t codePage, const std::wstring& source,
                        std::string& destination, const char* defaultChar,
                        std::int32_t* platformUsedDefault)
{
    std::string narrow;
    if (!ConvertWithWideCharToMultiByte(codePage, BestFitAllowedFlags, source, narrow, defaultChar,
                                        platformUsedDefault))
    {
        return false;
    }
    std::wstring back;
    if (!ConvertWithMultiByteToWideChar(codePage, PrecomposedFlags, narrow, back))
    {
        return false;
    }
    if (back != source)
    {
        return false;
    }
    destination.swap(narrow);
    return true;
}

} // namespace

bool ConvertWStringToString(const std::wstring& source, std::string& destination,
                            const std::string& sourceEncoding,
                            const std::string& destinationEncoding,
                            BestFitMappingPolicy bestFitMappingPolicy,
                            CharacterSubstitutionPolicy characterSubstitutionPolicy,
                            char defaultChar, bool& usedDefaultChar)
{
    if (!IsWideEncodingName(sourceEncoding))
    {
        throw std::invalid_argument("ConvertWStringToString: invalid source encoding.");
    }
    if (source.empty())
    {
        destination.clear();
        usedDefaultChar = false;
        return true;
    }
    const std::optional<std::uint32_t> codePage = ResolveCodePage(destinationEncoding);
    if (!codePage)
    {
        throw std::invalid_argument("ConvertWStringToString: invalid destination encoding.");
    }

    const WideToNarrowArguments arguments =
        SelectWideToNarrowArguments(*codePage, bestFitMappingPolicy, characterSubstitutionPolicy);
    const char defaultText[2] = {defaultChar, '\0'};
    std::int32_t platformUsedDefault = 0;
    const char* defaultCharArgument = arguments.passDefaultChar ? defaultText : nullptr;
    std::int32_t* usedDefaultArgument = arguments.passDefaultChar ? &platformUsedDefault : nullptr;

    if ((arguments.flags & NoBestFitFlag) != 0 && !IsBestFitSuppressionSupported())
    {
        if (!ConvertByRoundTrip(*codePage, source, destination, defaultCharArgument,
                                usedDefaultArgument))
        {
            return false;
        }
        usedDefaultChar = false;
        return true;
    }

    if (!ConvertWithWideCharToMultiByte(*codePage, arguments.flags, source, destination,
                                        defaultCharArgument, usedDefaultArgument))
    {
        return false;
    }
    usedDefaultChar = platformUsedDefault != 0;
    return true;
}

} // namespace Tolvane::Util::StringConversion::Detail

// The exported narrow-to-wide conversion.
#include <Tolvane/Util/StringConversion.h>

#include "strings/ConversionFlags.h"
#include "strings/EncodingName.h"
#include "strings/PlatformConversion.h"

#include <stdexcept>

namespace Tolvane::Util::StringConversion::Detail {

bool ConvertStringToWString(const std::string& source, std::wstring& destination,
                            const std::string& sourceEncoding,
                            const std::string& destinationEncoding)
{
    if (!IsWideEncodingName(destinationEncoding))
    {
        throw std::invalid_argument("ConvertStringToWString: invalid destination encoding.");
    }
    if (source.empty())
    {
        destination.clear();
        return true;
    }
    const std::optional<std::uint32_t> codePage = ResolveCodePage(sourceEncoding);
    if (!codePage)
    {
        throw std::invalid_argument("ConvertStringToWString: invalid source encoding.");
    }
    return ConvertWithMultiByteToWideChar(*codePage, SelectNarrowToWideFlags(*codePage), source,
                                          destination);
}

} // namespace Tolvane::Util::StringConversion::Detail

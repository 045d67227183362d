// Resolution of encoding names to code pages.
#include "strings/EncodingName.h"

#include <boost/lexical_cast.hpp>

namespace Tolvane
{
namespace Util
{
namespace StringConversion
{

std::optional<std::uint32_t> ResolveCodePage(const std::string& encodingName)
{
    if (encodingName.empty() || encodingName == "ANSI")
    {
        return 0u;
    }
    // The "CP" test comes before the fixed names: every name of three or more characters
    // that starts with "CP" is a number or an error, never one of the names below.
    if (encodingName.size() > 2 && encodingName[0] == 'C' && encodingName[1] == 'P')
    {
        return boost::lexical_cast<unsigned int>(encodingName.substr(2));
    }
    if (encodingName == "OEM")
    {
        return 1u;
    }
    if (encodingName == "UTF-7")
    {
        return 65000u;
    }
    if (encodingName == "UTF-8")
    {
        return 65001u;
    }
    return std::nullopt;
}

bool IsWideEncodingName(const std::string& encodingName)
{
    return encodingName.empty() || encodingName == "UTF-16";
}

} // namespace StringConversion
} // namespace Util
} // namespace Tolvane

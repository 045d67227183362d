// Resolution of encoding names to code pages.
#include "strings/EncodingName.h"

#include <boost/lexical_cast.hpp>

#include <string_view>

namespace Tolvane::Util::StringConversion {

namespace {

// Up to nine digits always fit an unsigned int, so such a number needs no overflow check.
constexpr std::size_t PlainDigitsLimit = 9;

// The number after "CP" when it is one to nine plain ASCII digits; the common names resolve
// here without lexical_cast's stream machinery, which dominates a short conversion.
std::optional<std::uint32_t> PlainNumber(std::string_view digits)
{
    if (digits.empty() || digits.size() > PlainDigitsLimit)
    {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (const char digit : digits)
    {
        if (digit < '0' || digit > '9')
        {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint32_t>(digit - '0');
    }
    return value;
}

} // namespace

std::optional<std::uint32_t> ResolveCodePage(const std::string& encodingNameText)
{
    // Compared as a string_view: a length test and an inlined memcmp, where std::string's
    // comparison with a C string calls the library and measures the literal each time.
    const std::string_view encodingName(encodingNameText);
    if (encodingName.empty() || encodingName == "ANSI")
    {
        return 0u;
    }
    // The "CP" test comes before the fixed names: every name of three or more characters
    // that starts with "CP" is a number or an error, never one of the names below.
    if (encodingName.size() > 2 && encodingName[0] == 'C' && encodingName[1] == 'P')
    {
        if (const std::optional<std::uint32_t> plain = PlainNumber(encodingName.substr(2)))
        {
            return plain;
        }
        // Everything else keeps lexical_cast's answer: its errors, and the signed forms it
        // accepts.
        return boost::lexical_cast<unsigned int>(encodingNameText.substr(2));
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
    return encodingName.empty() || std::string_view(encodingName) == "UTF-16";
}

} // namespace Tolvane::Util::StringConversion

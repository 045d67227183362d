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
CodePageLookup PlainNumber(std::string_view digits)
{
    if (digits.empty() || digits.size() > PlainDigitsLimit)
    {
        return {0, false};
    }
    std::uint32_t value = 0;
    for (const char digit : digits)
    {
        if (digit < '0' || digit > '9')
        {
            return {0, false};
        }
        value = value * 10 + static_cast<std::uint32_t>(digit - '0');
    }
    return {value, true};
}

constexpr CodePageLookup Found(std::uint32_t codePage)
{
    return {codePage, true};
}

} // namespace

CodePageLookup LookUpCodePage(const std::string& encodingNameText)
{
    // Compared as a string_view: a length test and an inlined memcmp, where std::string's
    // comparison with a C string calls the library and measures the literal each time.
    const std::string_view encodingName(encodingNameText);
    if (encodingName.empty() || encodingName == "ANSI")
    {
        return Found(0);
    }
    // The "CP" test comes before the fixed names: every name of three or more characters
    // that starts with "CP" is a number or an error, never one of the names below.
    if (encodingName.size() > 2 && encodingName[0] == 'C' && encodingName[1] == 'P')
    {
        if (const CodePageLookup plain = PlainNumber(encodingName.substr(2)); plain.recognised)
        {
            return plain;
        }
        // Everything else keeps lexical_cast's answer: its errors, and the signed forms it
        // accepts.
        return Found(boost::lexical_cast<unsigned int>(encodingNameText.substr(2)));
    }
    if (encodingName == "OEM")
    {
        return Found(1);
    }
    if (encodingName == "UTF-7")
    {
        return Found(65000);
    }
    if (encodingName == "UTF-8")
    {
        return Found(65001);
    }
    return {0, false};
}

bool IsWideEncodingName(const std::string& encodingName)
{
    return encodingName.empty() || std::string_view(encodingName) == "UTF-16";
}

} // namespace Tolvane::Util::StringConversion

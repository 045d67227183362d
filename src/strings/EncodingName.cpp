// Resolution of encoding names to code pages.
#include "strings/EncodingName.h"

#include <boost/lexical_cast.hpp>

#include <string_view>

namespace Tolvane::Util::StringConversion {

namespace {

// Up to nine digits always fit an unsigned int, so such a number needs no overflow check.
constexpr std::size_t PlainDigitsLimit = 9;

// The number after "CP" when it is one to nine plain ASCII digits; the common names resolve
// here without lexical_cast's stream machinery, which dominates a short conversion. The digits
// are tested all together, after the loop, which then has no branch of its own.
CodePageLookup PlainNumber(std::string_view digits)
{
    if (digits.empty() || digits.size() > PlainDigitsLimit)
    {
        return {0, false};
    }
    std::uint32_t value = 0;
    bool plain = true;
    for (const char digit : digits)
    {
        const auto digitValue = static_cast<std::uint32_t>(static_cast<unsigned char>(digit)) - '0';
        plain = plain && digitValue <= 9;
        value = value * 10 + digitValue;
    }
    return {plain ? value : 0, plain};
}

constexpr CodePageLookup Found(std::uint32_t codePage)
{
    return {codePage, true};
}

// lexical_cast's answer for the text after "CP": its errors, and the signed forms it accepts.
// Apart, so that the common names need none of its stack frame.
[[gnu::noinline]] CodePageLookup LexicalNumber(const std::string& encodingName)
{
    return Found(boost::lexical_cast<unsigned int>(encodingName.substr(2)));
}

} // namespace

CodePageLookup LookUpCodePage(const std::string& encodingNameText)
{
    // Compared as a string_view: a length test and an inlined memcmp, where std::string's
    // comparison with a C string calls the library and measures the literal each time.
    const std::string_view encodingName(encodingNameText);
    // The "CP" test comes before the fixed names: every name of three or more characters
    // that starts with "CP" is a number or an error, never one of the names below.
    if (encodingName.size() > 2 && encodingName[0] == 'C' && encodingName[1] == 'P')
    {
        if (const CodePageLookup plain = PlainNumber(encodingName.substr(2)); plain.recognised)
        {
            return plain;
        }
        return LexicalNumber(encodingNameText);
    }
    if (encodingName.empty() || encodingName == "ANSI")
    {
        return Found(0);
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

} // namespace Tolvane::Util::StringConversion

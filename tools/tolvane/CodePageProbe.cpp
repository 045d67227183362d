// Identifies code pages by how they decode, using only the library's public conversions.
#include "CodePageProbe.h"

#include <Tolvane/Util/StringConversion.h>

#include <vector>

namespace Tolvane::Tool {

namespace {

using Util::StringConversion::Detail::ConvertStringToWString;

// Each byte from 0x80 to 0xFF decoded on its own; bytes that do not decode give "".
std::vector<std::wstring> Signature(const std::string& encodingName)
{
    std::vector<std::wstring> decoded;
    for (int b = 0x80; b <= 0xFF; ++b)
    {
        std::wstring text;
        if (!ConvertStringToWString(std::string(1, static_cast<char>(b)), text, encodingName, ""))
        {
            text.clear();
        }
        decoded.push_back(text);
    }
    return decoded;
}

} // namespace

std::optional<unsigned> IdentifyCodePage(const std::string& encodingName)
{
    std::wstring probe;
    if (ConvertStringToWString("\xC3\xA9\xE2\x82\xAC", probe, encodingName, "") &&
        probe == L"\x00E9\x20AC")
    {
        return 65001u;
    }
    static const unsigned candidates[] = {
        1252, 1250, 1251, 1253, 1254,  1255,  1256,  1257,  1258,  874,   932,  936, 949,
        950,  437,  850,  852,  855,   857,   858,   860,   861,   862,   863,  864, 865,
        866,  869,  737,  775,  28591, 28592, 28595, 28597, 28605, 20127, 10000};
    const std::vector<std::wstring> signature = Signature(encodingName);
    for (unsigned candidate : candidates)
    {
        if (Signature("CP" + std::to_string(candidate)) == signature)
        {
            return candidate;
        }
    }
    return std::nullopt;
}

bool CanForbidBestFit()
{
    using namespace Util::StringConversion;
    // U+0100 has only a look-alike in 1252. Where best fit can be forbidden it becomes the
    // default character; elsewhere the conversion's round trip fails.
    std::string out;
    bool used = false;
    return Detail::ConvertWStringToString(L"\x0100", out, "", "CP1252", DisallowBestFitMapping,
                                          UseSpecifiedDefaultChar, '?', used);
}

} // namespace Tolvane::Tool

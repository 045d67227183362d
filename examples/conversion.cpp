// Text conversion: UTF-8 bytes to a wide string, and on to Windows-1252 without look-alikes.
#include <Tolvane/Util/StringConversion.h>

#include <cstdio>
#include <string>

int main()
{
    using namespace Tolvane::Util::StringConversion;

    std::wstring wide;
    if (!Detail::ConvertStringToWString("\xC4\x80 costs 5 \xE2\x82\xAC", wide, "UTF-8", "UTF-16"))
    {
        return 1; // the platform could not decode the bytes
    }

    std::string cp1252;
    bool usedDefaultChar = false;
    if (!Detail::ConvertWStringToString(wide, cp1252, "UTF-16", "CP1252", DisallowBestFitMapping,
                                        UseSpecifiedDefaultChar, '?', usedDefaultChar))
    {
        return 1;
    }
    // "? costs 5 \x80": U+0100 has no exact counterpart in 1252, so it became '?'.
    std::printf("%zu bytes, default character used: %s\n", cp1252.size(),
                usedDefaultChar ? "yes" : "no");
    return cp1252 == "? costs 5 \x80" && usedDefaultChar ? 0 : 1;
}

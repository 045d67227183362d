// Decodes a few texts from their narrow encodings and prints the code points that result.
#include <Tolvane/Util/StringConversion.h>

#include <cstdio>
#include <string>

namespace
{

void Show(const char* encoding, const std::string& bytes)
{
    using Tolvane::Util::StringConversion::Detail::ConvertStringToWString;
    std::printf("%-8s", encoding);
    for (char b : bytes)
    {
        std::printf(" %02X", static_cast<unsigned char>(b));
    }
    std::wstring text;
    if (!ConvertStringToWString(bytes, text, encoding, "UTF-16"))
    {
        std::printf("  -> (this platform cannot convert it)\n");
        return;
    }
    std::printf("  ->");
    for (wchar_t unit : text)
    {
        std::printf(" U+%04X", static_cast<unsigned>(unit));
    }
    std::printf("\n");
}

} // namespace

int main()
{
    std::printf(
        "Narrow text decoded to wide characters (code points, or UTF-16 units on Windows):\n");
    Show("UTF-8", "Gr\xC3\xBC\xC3\x9F\x65 \xE2\x82\xAC");
    Show("CP1252", "Gr\xFC\xDF"
                   "e \x80");
    Show("CP437", "Gr\x81\xE1"
                  "e");
    Show("CP1251", "\xCF\xF0\xE8\xE2\xE5\xF2");
    Show("CP932", "\x93\xFA\x96\x7B");
    Show("UTF-7", "A+ImIDkQ.");
    Show("ANSI", "ASCII is the same everywhere");
    return 0;
}

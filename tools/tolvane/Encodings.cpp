// The encoding names the program accepts, and the code pages the library supports here.
#include "Encodings.h"

#include <Tolvane/Util/StringConversion.h>

#include <algorithm>
#include <cctype>
#include <sstream>

namespace Tolvane::Tool {

namespace {

struct KnownCodePage
{
    unsigned number;
    const char* aliases;
    const char* description;
};

// Names that other tools and standards use for the code pages, and what each page holds.
const KnownCodePage s_KnownCodePages[] = {
    {37, "ibm037 ebcdic-cp-us", "IBM EBCDIC (US-Canada)"},
    {437, "ibm437 oem-us", "OEM United States (DOS)"},
    {500, "ibm500 ebcdic-cp-be", "IBM EBCDIC (International)"},
    {708, "asmo-708", "Arabic (ASMO 708)"},
    {720, "dos-720", "Arabic (DOS)"},
    {737, "ibm737", "Greek (DOS)"},
    {775, "ibm775", "Baltic (DOS)"},
    {850, "ibm850", "Western European (DOS)"},
    {852, "ibm852", "Central European (DOS)"},
    {855, "ibm855", "OEM Cyrillic"},
    {857, "ibm857", "Turkish (DOS)"},
    {858, "ibm00858", "OEM Multilingual Latin 1 with euro"},
    {860, "ibm860", "Portuguese (DOS)"},
    {861, "ibm861", "Icelandic (DOS)"},
    {862, "dos-862", "Hebrew (DOS)"},
    {863, "ibm863", "French Canadian (DOS)"},
    {864, "ibm864", "Arabic (864)"},
    {865, "ibm865", "Nordic (DOS)"},
    {866, "ibm866", "Cyrillic (DOS)"},
    {869, "ibm869", "Greek, Modern (DOS)"},
    {874, "windows-874 tis-620", "Thai (Windows)"},
    {875, "cp875", "IBM EBCDIC (Greek Modern)"},
    {932, "shift_jis sjis ms932 windows-31j", "Japanese (Shift-JIS)"},
    {936, "gbk gb2312 ms936", "Chinese Simplified (GBK)"},
    {949, "euc-kr ks_c_5601-1987 uhc ms949", "Korean (Unified Hangul Code)"},
    {950, "big5 ms950", "Chinese Traditional (Big5)"},
    {1026, "ibm1026", "IBM EBCDIC (Turkish Latin-5)"},
    {1250, "windows-1250", "Central European (Windows)"},
    {1251, "windows-1251", "Cyrillic (Windows)"},
    {1252, "windows-1252", "Western European (Windows)"},
    {1253, "windows-1253", "Greek (Windows)"},
    {1254, "windows-1254", "Turkish (Windows)"},
    {1255, "windows-1255", "Hebrew (Windows)"},
    {1256, "windows-1256", "Arabic (Windows)"},
    {1257, "windows-1257", "Baltic (Windows)"},
    {1258, "windows-1258", "Vietnamese (Windows)"},
    {1361, "johab", "Korean (Johab)"},
    {10000, "macintosh macroman x-mac-roman", "Western European (Mac)"},
    {10001, "x-mac-japanese", "Japanese (Mac)"},
    {10002, "x-mac-chinesetrad", "Chinese Traditional (Mac)"},
    {10003, "x-mac-korean", "Korean (Mac)"},
    {10004, "x-mac-arabic", "Arabic (Mac)"},
    {10005, "x-mac-hebrew", "Hebrew (Mac)"},
    {10006, "x-mac-greek", "Greek (Mac)"},
    {10007, "x-mac-cyrillic", "Cyrillic (Mac)"},
    {10008, "x-mac-chinesesimp", "Chinese Simplified (Mac)"},
    {10010, "x-mac-romanian", "Romanian (Mac)"},
    {10017, "x-mac-ukrainian", "Ukrainian (Mac)"},
    {10021, "x-mac-thai", "Thai (Mac)"},
    {10029, "x-mac-ce", "Central European (Mac)"},
    {10079, "x-mac-icelandic", "Icelandic (Mac)"},
    {10081, "x-mac-turkish", "Turkish (Mac)"},
    {10082, "x-mac-croatian", "Croatian (Mac)"},
    {20127, "ascii us-ascii", "US-ASCII (7-bit)"},
    {20866, "koi8-r", "Cyrillic (KOI8-R)"},
    {20932, "euc-jp", "Japanese (JIS 0208-1990 and 0212-1990)"},
    {20949, "x-cp20949", "Korean Wansung"},
    {21866, "koi8-u", "Cyrillic (KOI8-U)"},
    {28591, "iso-8859-1 latin1 l1", "Western European (ISO)"},
    {28592, "iso-8859-2 latin2 l2", "Central European (ISO)"},
    {28593, "iso-8859-3 latin3 l3", "Latin 3 (ISO)"},
    {28594, "iso-8859-4 latin4 l4", "Baltic (ISO)"},
    {28595, "iso-8859-5 cyrillic", "Cyrillic (ISO)"},
    {28596, "iso-8859-6 arabic", "Arabic (ISO)"},
    {28597, "iso-8859-7 greek", "Greek (ISO)"},
    {28598, "iso-8859-8 hebrew", "Hebrew (ISO-Visual)"},
    {28599, "iso-8859-9 latin5 l5", "Turkish (ISO)"},
    {28603, "iso-8859-13 latin7 l7", "Estonian (ISO)"},
    {28605, "iso-8859-15 latin9 l9", "Latin 9 (ISO)"},
    {65000, "utf7 utf-7", "Unicode (UTF-7)"},
    {65001, "utf8 utf-8", "Unicode (UTF-8)"},
};

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string LibraryName(unsigned number)
{
    if (number == 65000)
    {
        return "UTF-7";
    }
    if (number == 65001)
    {
        return "UTF-8";
    }
    return "CP" + std::to_string(number);
}

// The number after `prefix` in `name`, when the rest is 1 to 5 digits.
std::optional<unsigned> NumberAfter(const std::string& name, const std::string& prefix)
{
    if (name.compare(0, prefix.size(), prefix) != 0)
    {
        return std::nullopt;
    }
    const std::string digits = name.substr(prefix.size());
    if (digits.empty() || digits.size() > 5 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
    {
        return std::nullopt;
    }
    return static_cast<unsigned>(std::stoul(digits));
}

} // namespace

std::optional<std::string> ToLibraryEncodingName(const std::string& name)
{
    if (name == "ANSI" || name == "OEM" || name == "UTF-7" || name == "UTF-8" ||
        NumberAfter(name, "CP"))
    {
        return name;
    }
    const std::string lower = Lower(name);
    if (lower == "ansi" || lower == "oem")
    {
        return std::string(lower == "ansi" ? "ANSI" : "OEM");
    }
    for (const KnownCodePage& page : s_KnownCodePages)
    {
        std::istringstream aliases(page.aliases);
        std::string alias;
        while (aliases >> alias)
        {
            if (alias == lower)
            {
                return LibraryName(page.number);
            }
        }
    }
    for (const char* prefix : {"cp", "windows-", "ibm", "ibm-", ""})
    {
        if (const std::optional<unsigned> number = NumberAfter(lower, prefix))
        {
            return LibraryName(*number);
        }
    }
    return std::nullopt;
}

bool IsEncodingAvailable(const std::string& libraryName)
{
    using namespace Util::StringConversion;
    std::wstring wide;
    std::string narrow;
    bool used = false;
    try
    {
        return Detail::ConvertStringToWString("A", wide, libraryName, "") &&
               Detail::ConvertWStringToString(L"A", narrow, "", libraryName, DisallowBestFitMapping,
                                              UseSpecifiedDefaultChar, '?', used);
    }
    catch (const std::exception&)
    {
        return false;
    }
}

std::vector<CodePageEntry> ListAvailableCodePages()
{
    std::vector<CodePageEntry> pages;
    // 0 to 3 stand for the system's ANSI, OEM, Mac and thread code pages, not pages of their own.
    const KnownCodePage* known = std::begin(s_KnownCodePages);
    for (unsigned number = 4; number <= 65535; ++number)
    {
        std::wstring wide;
        if (!Util::StringConversion::Detail::ConvertStringToWString(
                "A", wide, "CP" + std::to_string(number), ""))
        {
            continue;
        }
        while (known != std::end(s_KnownCodePages) && known->number < number)
        {
            ++known;
        }
        const bool described = known != std::end(s_KnownCodePages) && known->number == number;
        pages.push_back({number, LibraryName(number), described ? known->aliases : "",
                         described ? known->description : "code page " + std::to_string(number)});
    }
    return pages;
}

} // namespace Tolvane::Tool

// Writes the reference dumps: every case of the code-page differential test, answered by the
// backend this program is linked with (on Windows, kernel32), and the canonical compositions
// that WC_COMPOSITECHECK builds on, as Windows' NormalizeString gives them.
//
// Usage: CodePageDump <directory>   writes one file per case set, named as CaseSetName says,
//                                   and "unicode.compose".
#include "differential/CodePageCases.h"

#include <windows.h>

#include <fstream>
#include <iostream>

namespace {

using namespace Tolvane::Util::Differential;

bool WriteFile(const std::string& path, const std::string& content)
{
    std::ofstream file(path, std::ios::binary);
    return static_cast<bool>(
        file.write(content.data(), static_cast<std::streamsize>(content.size())).flush());
}

std::wstring Normalize(NORM_FORM form, const std::wstring& text)
{
    wchar_t buffer[32];
    const int length = NormalizeString(form, text.data(), static_cast<int>(text.size()), buffer,
                                       static_cast<int>(std::size(buffer)));
    return std::wstring(buffer, static_cast<std::size_t>(std::max(length, 0)));
}

// Every BMP character that composes from two BMP characters, as triples of little-endian UTF-16
// units (first, second, composed): the last unit of its full decomposition is the second, and
// the rest, composed again, is the first. Only pairs that compose back to the character count,
// so singletons and composition exclusions drop out. Hangul syllables are left out:
// WC_COMPOSITECHECK does not build them from jamo.
std::string CanonicalPairs()
{
    std::string triples;
    for (wchar_t c = 1; c != 0; ++c)
    {
        const std::wstring decomposed = Normalize(NormalizationD, std::wstring(1, c));
        if ((c >= 0xD800 && c <= 0xDFFF) || (c >= 0xAC00 && c <= 0xD7A3) || decomposed.size() < 2)
        {
            continue;
        }
        const std::wstring first =
            Normalize(NormalizationC, decomposed.substr(0, decomposed.size() - 1));
        const wchar_t second = decomposed.back();
        if (first.size() == 1 && Normalize(NormalizationC, first + second) == std::wstring(1, c))
        {
            for (const wchar_t unit : {first[0], second, c})
            {
                triples += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
            }
        }
    }
    return triples;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: CodePageDump <directory>\n";
        return 2;
    }
    const std::string directory = std::string(argv[1]) + "/";
    bool written = WriteFile(directory + "unicode.compose", CanonicalPairs());
    for (const CaseSet& set : AllCaseSets())
    {
        // A sizing call that disagrees with its conversion shows in the comparison, not here.
        std::string records;
        for (std::size_t i = 0; i < CaseCount(set); ++i)
        {
            AppendRecord(set, i, records);
        }
        written = WriteFile(directory + CaseSetName(set), records) && written;
    }
    if (!written)
    {
        std::cerr << "cannot write the dumps\n";
    }
    return written ? 0 : 1;
}

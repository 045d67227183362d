// Writes the reference dumps: every case of the code-page differential test, answered by the
// backend this program is linked with (on Windows, kernel32), and the canonical compositions
// that WC_COMPOSITECHECK builds on, as Windows' NormalizeString gives them.
//
// Usage: CodePageDump <directory>   writes one file per case set, named as CaseSetName says,
//                                   and "unicode.compose".
#include "differential/CodePageCases.h"

#include <windows.h>

#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>

namespace {

using namespace Tolvane::Util::Differential;

bool WriteFile(const std::string& path, const std::string& content)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
    {
        return false;
    }
    const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    return std::fclose(file) == 0 && written;
}

std::wstring Normalize(NORM_FORM form, const std::wstring& text)
{
    wchar_t buffer[32];
    const int length = NormalizeString(form, text.data(), static_cast<int>(text.size()), buffer,
                                       static_cast<int>(std::size(buffer)));
    return length > 0 ? std::wstring(buffer, static_cast<std::size_t>(length)) : std::wstring();
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
        if ((c >= 0xD800 && c <= 0xDFFF) || (c >= 0xAC00 && c <= 0xD7A3))
        {
            continue;
        }
        const std::wstring decomposed = Normalize(NormalizationD, std::wstring(1, c));
        if (decomposed.size() < 2)
        {
            continue;
        }
        const std::wstring first =
            Normalize(NormalizationC, decomposed.substr(0, decomposed.size() - 1));
        const wchar_t second = decomposed.back();
        if (first.size() != 1 || Normalize(NormalizationC, first + second) != std::wstring(1, c))
        {
            continue;
        }
        for (const wchar_t unit : {first[0], second, c})
        {
            triples.push_back(static_cast<char>(unit & 0xFF));
            triples.push_back(static_cast<char>(unit >> 8));
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
    const std::string directory = argv[1];
    int status = 0;
    for (const CaseSet& set : AllCaseSets())
    {
        const std::string name = CaseSetName(set);
        std::string records;
        std::size_t inconsistent = 0;
        const std::size_t count = CaseCount(set);
        for (std::size_t i = 0; i < count; ++i)
        {
            if (!AppendRecord(set, i, records))
            {
                ++inconsistent;
            }
        }
        if (inconsistent != 0)
        {
            std::cerr << name << ": " << inconsistent
                      << " sizing calls disagreed with their conversion\n";
        }
        if (!WriteFile(directory + "/" + name, records))
        {
            std::cerr << name << ": cannot write\n";
            status = 1;
        }
    }
    if (!WriteFile(directory + "/unicode.compose", CanonicalPairs()))
    {
        std::cerr << "unicode.compose: cannot write\n";
        status = 1;
    }
    return status;
}

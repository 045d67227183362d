// Writes the reference dumps: every case of the code-page differential test, answered by the
// backend this program is linked with (on Windows, kernel32).
//
// Usage: CodePageDump <directory>   writes one file per case set, named as CaseSetName says.
#include "differential/CodePageCases.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace
{

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
    return status;
}

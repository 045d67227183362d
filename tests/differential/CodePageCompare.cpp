// Compares this platform's code-page conversions with Windows' recorded answers: prints how many
// calls of each case set agree, and the first few that do not (CaseInput gives their input), and
// fails on any disagreement.
//
// Usage: CodePageCompare <reference directory>
#include "differential/CodePageCases.h"

#include <fstream>
#include <iostream>

using namespace Tolvane::Util::Differential;

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: CodePageCompare <reference directory>\n";
        return 2;
    }
    std::size_t allAgreeing = 0;
    std::size_t allTotal = 0;
    for (const CaseSet& set : AllCaseSets())
    {
        const std::string name = CaseSetName(set);
        std::ifstream file(std::string(argv[1]) + "/" + name, std::ios::binary);
        const std::string reference{std::istreambuf_iterator<char>(file), {}};
        const std::size_t total = CaseCount(set);
        std::size_t agreeing = 0;
        std::size_t position = 0;
        for (std::size_t i = 0; i < total && position < reference.size(); ++i)
        {
            const auto head = static_cast<unsigned char>(reference[position]);
            const std::size_t length = head == 0xFF ? 1 : 1 + std::size_t{head};
            std::string local;
            // A sizing call that disagrees with its conversion disagrees with Windows too.
            if (AppendRecord(set, i, local) && reference.compare(position, length, local) == 0)
            {
                ++agreeing;
            }
            else if (i - agreeing < 5)
            {
                std::cout << "  " << name << ": call " << i << " differs\n";
            }
            position += length;
        }
        const bool whole = agreeing == total && position == reference.size();
        std::cout << name << ": " << agreeing << " of " << total << " agree"
                  << (whole ? "" : "  DIFFERS") << '\n';
        allAgreeing += whole ? agreeing : 0;
        allTotal += total;
    }
    std::cout << "all: " << allAgreeing << " of " << allTotal << " agree\n";
    return allAgreeing == allTotal ? 0 : 1;
}

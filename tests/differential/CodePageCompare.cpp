// Compares this platform's code-page conversions with Windows' recorded answers and fails on
// any disagreement.
//
// Usage: CodePageCompare <reference directory> [--show <case set> [<count>]]
//   --show  lists the first disagreements of one case set (default 20)
#include "differential/CodePageCases.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

namespace {

using namespace Tolvane::Util::Differential;

constexpr unsigned char FailedRecord = 0xFF;

bool ReadFile(const std::string& path, std::string& content)
{
    std::ifstream file(path, std::ios::binary);
    content.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return static_cast<bool>(file);
}

// The length of the record at `position`, or 0 when the data ends inside it.
std::size_t RecordLength(const std::string& records, std::size_t position)
{
    if (position >= records.size())
    {
        return 0;
    }
    const auto head = static_cast<unsigned char>(records[position]);
    const std::size_t length = head == FailedRecord ? 1 : 1 + std::size_t{head};
    return position + length <= records.size() ? length : 0;
}

std::string Hex(const std::string& bytes)
{
    std::string text;
    char part[4];
    for (const char byte : bytes)
    {
        std::snprintf(part, sizeof part, text.empty() ? "%02X" : " %02X",
                      static_cast<unsigned>(static_cast<unsigned char>(byte)));
        text += part;
    }
    return text;
}

struct Options
{
    std::string referenceDirectory;
    std::string show;
    std::size_t showCount = 20;
};

bool ParseOptions(int argc, char** argv, Options& options)
{
    if (argc < 2)
    {
        return false;
    }
    options.referenceDirectory = argv[1];
    for (int i = 2; i < argc; ++i)
    {
        const std::string argument = argv[i];
        if (argument == "--show" && i + 1 < argc)
        {
            options.show = argv[++i];
            if (i + 1 < argc && argv[i + 1][0] != '-')
            {
                options.showCount = std::stoul(argv[++i]);
            }
        }
        else
        {
            return false;
        }
    }
    return true;
}

// How many calls of `set` this platform answers as `reference` records; lists the first
// disagreements when `options.show` names the set, and sets `failed` when the reference ends early.
std::size_t CountAgreeing(const CaseSet& set, const std::string& reference, const Options& options,
                          bool& failed)
{
    const std::string name = CaseSetName(set);
    std::size_t agreeing = 0;
    std::size_t shown = 0;
    std::size_t position = 0;
    std::string local;
    for (std::size_t i = 0; i < CaseCount(set); ++i)
    {
        const std::size_t length = RecordLength(reference, position);
        if (length == 0)
        {
            std::cout << name << ": the reference dump ends early\n";
            failed = true;
            break;
        }
        local.clear();
        const bool consistent = AppendRecord(set, i, local);
        if (consistent && reference.compare(position, length, local) == 0)
        {
            ++agreeing;
        }
        else if (name == options.show && shown++ < options.showCount)
        {
            std::cout << "  " << DescribeCase(set, i) << ": Windows ["
                      << Hex(reference.substr(position, length)) << "] here [" << Hex(local) << "]"
                      << (consistent ? "" : " (sizing differs)") << '\n';
        }
        position += length;
    }
    return agreeing;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options))
    {
        std::cerr << "usage: CodePageCompare <reference directory> [--show <case set> [<count>]]\n";
        return 2;
    }
    bool failed = false;
    std::size_t allAgreeing = 0;
    std::size_t allTotal = 0;
    char line[160];
    std::snprintf(line, sizeof line, "%-30s %-15s %17s\n", "case set", "direction",
                  "agreeing / total");
    std::cout << line;
    for (const CaseSet& set : AllCaseSets())
    {
        const std::string name = CaseSetName(set);
        std::string reference;
        if (!ReadFile(options.referenceDirectory + "/" + name, reference))
        {
            std::cout << name << ": no reference dump\n";
            failed = true;
            continue;
        }
        const std::size_t total = CaseCount(set);
        const std::size_t agreeing = CountAgreeing(set, reference, options, failed);
        failed = failed || agreeing != total;
        std::snprintf(line, sizeof line, "%-30s %-15s %8zu / %6zu%s\n", name.c_str(),
                      DirectionName(set.kind), agreeing, total,
                      agreeing == total ? "" : "  DIFFERS (see --show)");
        std::cout << line;
        allAgreeing += agreeing;
        allTotal += total;
    }
    std::snprintf(line, sizeof line, "%-30s %-15s %8zu / %6zu\n", "all", "", allAgreeing, allTotal);
    std::cout << line;
    return failed ? 1 : 0;
}

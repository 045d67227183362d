// The memory table: operator new calls and peak bytes of single library conversions.
#include "conversion/ConversionMemory.h"

#include "support/AllocationCounter.h"

#include <cstdio>
#include <string>

namespace Tolvane::Bench {

namespace {

std::string Peak(std::size_t bytes, std::size_t outputBytes)
{
    char text[64];
    std::snprintf(text, sizeof text, "%zu B (%.2fx)", bytes,
                  outputBytes == 0 ? 0.0
                                   : static_cast<double>(bytes) / static_cast<double>(outputBytes));
    return text;
}

template <typename Char, typename Convert>
void PrintRow(std::ostream& out, const ConversionCase& conversion, Convert convert)
{
    std::basic_string<Char> kept;
    convert(conversion, kept);
    const std::size_t outputBytes = kept.size() * sizeof(Char);

    std::size_t keptAllocations = 0;
    std::size_t keptPeak = 0;
    {
        const Testing::AllocationScope scope;
        convert(conversion, kept);
        keptAllocations = scope.Count();
        keptPeak = scope.PeakBytes();
    }
    std::size_t freshAllocations = 0;
    std::size_t freshPeak = 0;
    {
        const Testing::AllocationScope scope;
        {
            std::basic_string<Char> fresh;
            convert(conversion, fresh);
        }
        freshAllocations = scope.Count();
        freshPeak = scope.PeakBytes();
    }

    char line[256];
    std::snprintf(line, sizeof line, "| %-24s | %9zu B | %10zu | %24s | %10zu | %24s |\n",
                  conversion.Row.c_str(), outputBytes, keptAllocations,
                  Peak(keptPeak, outputBytes).c_str(), freshAllocations,
                  Peak(freshPeak, outputBytes).c_str());
    out << line;
}

void PrintHeader(std::ostream& out, const char* table)
{
    char line[256];
    std::snprintf(line, sizeof line, "\n| %-24s | %11s | %10s | %24s | %10s | %24s |\n", table,
                  "output", "kept: new", "kept: peak (x output)", "fresh: new",
                  "fresh: peak (x output)");
    out << line << "|:" << std::string(25, '-');
    for (const int width : {11, 10, 24, 10, 24})
    {
        out << '|' << std::string(static_cast<std::size_t>(width) + 1, '-') << ':';
    }
    out << "|\n";
}

} // namespace

void PrintConversionMemory(std::ostream& out, const std::vector<ConversionCase>& wideToNarrow,
                           const std::vector<ConversionCase>& narrowToWide)
{
    out << "\noperator new calls and peak bytes held during one library conversion, into a kept "
           "destination (large enough already) and into a fresh one.\n";
    PrintHeader(out, "memory w2n");
    for (const ConversionCase& conversion : wideToNarrow)
    {
        PrintRow<char>(out, conversion, LibraryToNarrow);
    }
    PrintHeader(out, "memory n2w");
    for (const ConversionCase& conversion : narrowToWide)
    {
        PrintRow<wchar_t>(out, conversion, LibraryToWide);
    }
}

} // namespace Tolvane::Bench

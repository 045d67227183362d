// The Windows conversion benchmark: the library's conversions against the API called directly.
#include "common/ConversionCases.h"
#include "common/RatioTable.h"
#include "windows/DirectConversion.h"
#include "windows/Stopwatch.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iostream>

namespace {

using namespace Tolvane::Bench;

// The row's cells, or a note when a call failed or the outputs differ. Each peer is timed in
// its own alternation with the library, whose cell is its fastest batch of both.
template <typename Char, typename Library, typename Direct>
void Measure(RatioTable& table, const std::string& tableName, const ConversionCase& conversion,
             Library library, Direct direct, double seconds)
{
    std::basic_string<Char> libraryResult;
    std::basic_string<Char> directResult;
    const auto runLibrary = [&] { return library(libraryResult); };
    const auto runDirect = [&] { return direct(directResult); };
    // The same calls into a new string each time, as the library, which writes its
    // destination only once the conversion has succeeded, must allocate its result.
    const auto runDirectFresh = [&] {
        std::basic_string<Char> fresh;
        if (!direct(fresh))
        {
            return false;
        }
        directResult.swap(fresh);
        return true;
    };
    const std::string name = tableName + "/" + conversion.Row;
    if (!runLibrary() || !runDirect())
    {
        std::cerr << "note: " << name << " fails to convert\n";
        return;
    }
    if (libraryResult != directResult)
    {
        std::cerr << "note: " << name << ": the direct call's output differs from the library's\n";
    }
    const Timings kept = Compare(runLibrary, runDirect, seconds);
    const Timings fresh = Compare(runLibrary, runDirectFresh, seconds);
    if (!kept.Ok || !fresh.Ok)
    {
        std::cerr << "note: " << name << " failed while timed\n";
        return;
    }
    const double libraryTime = std::min(kept.Library, fresh.Library);
    table.Add(tableName, conversion.Row, "tolvane", libraryTime);
    table.Add(tableName, conversion.Row, "direct", kept.Peer);
    table.Add(tableName, conversion.Row, "direct-fresh", fresh.Peer);
    std::cout << name << ": " << FormatDuration(libraryTime) << " against "
              << FormatDuration(kept.Peer) << " (fresh string: " << FormatDuration(fresh.Peer)
              << ")" << std::endl;
}

} // namespace

int main(int argc, char** argv)
{
    // --quick: a brief pass over every row, to see that the program still works.
    double seconds = 0.5;
    for (int index = 1; index < argc; ++index)
    {
        if (std::strcmp(argv[index], "--quick") == 0)
        {
            seconds = 0.001;
        }
        else if (std::strncmp(argv[index], "--seconds=", 10) == 0)
        {
            seconds = std::atof(argv[index] + 10);
        }
        else
        {
            std::cerr << "usage: " << argv[0] << " [--quick | --seconds=S]\n";
            return 2;
        }
    }

    const std::string architecture = sizeof(void*) == 8 ? "x64" : "i686";
    RatioTable table;
    for (const ConversionCase& conversion : WideToNarrowCases())
    {
        const DirectCall call = MakeDirectCall(conversion);
        Measure<char>(
            table, "windows-" + architecture + "-w2n", conversion,
            [&](std::string& out) { return LibraryToNarrow(conversion, out); },
            [&](std::string& out) { return DirectToNarrow(call, conversion.Wide, out); }, seconds);
    }
    for (const ConversionCase& conversion : NarrowToWideCases())
    {
        const DirectCall call = MakeDirectCall(conversion);
        Measure<wchar_t>(
            table, "windows-" + architecture + "-n2w", conversion,
            [&](std::wstring& out) { return LibraryToWide(conversion, out); },
            [&](std::wstring& out) { return DirectToWide(call, conversion.Narrow, out); }, seconds);
    }
    std::cout << "\nBest batch per call (QueryPerformanceCounter), library and direct calls "
                 "alternating; (ratio) = tolvane / direct two-pass API calls into a kept "
                 "destination (direct) or into a new string each call (direct-fresh).\n";
    table.Print(std::cout);
    return 0;
}

// RatioReporter: forwards each run to the console and files it into the ratio tables.
#include "common/RatioReporter.h"

#include <iostream>

namespace Tolvane::Bench {

void RatioReporter::ReportRuns(const std::vector<Run>& runs)
{
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
    {
        if (run.error_occurred || run.run_type != Run::RT_Iteration || run.iterations == 0)
        {
            continue;
        }
        const std::string name = run.run_name.function_name;
        const auto firstSlash = name.find('/');
        const auto lastSlash = name.rfind('/');
        if (firstSlash == std::string::npos || firstSlash == lastSlash)
        {
            continue;
        }
        const double nanoseconds =
            run.cpu_accumulated_time * 1e9 / static_cast<double>(run.iterations);
        const auto characters = run.counters.find("characters");
        m_Table.Add(name.substr(0, firstSlash),
                    name.substr(firstSlash + 1, lastSlash - firstSlash - 1),
                    name.substr(lastSlash + 1), nanoseconds,
                    characters == run.counters.end() ? 0.0 : characters->second.value);
    }
}

void RatioReporter::Finalize()
{
    ConsoleReporter::Finalize();
    if (m_Table.Empty())
    {
        return;
    }
    std::cout << "\nCPU time per call (or per character: ns/ch); (ratio) = tolvane / peer, "
                 "above 1 means the library is slower.\n";
    m_Table.Print(std::cout);
    std::cout.flush();
}

int RunBenchmarks(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
    {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

} // namespace Tolvane::Bench

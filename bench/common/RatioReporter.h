// A Google Benchmark reporter that prints the usual lines and, at the end, the ratio tables.
#pragma once

#include "common/RatioTable.h"

#include <benchmark/benchmark.h>

namespace Tolvane::Bench {

// Benchmarks are named "<table>/<row>/<subject>" (the row may hold further slashes). A run
// that sets the counter "characters" (per call) shows in its table per character.
// Times are CPU time per call, so that a busy machine's waits between slices count less.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    RatioTable m_Table;
};

// Runs the benchmarks selected on the command line with RatioReporter; the body of main().
int RunBenchmarks(int argc, char** argv);

} // namespace Tolvane::Bench

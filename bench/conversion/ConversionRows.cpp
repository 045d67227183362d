// Row registration: one Google Benchmark per contender, and the check that contenders agree.
#include "conversion/ConversionRows.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <iostream>

namespace Tolvane::Bench {

namespace {

template <typename Char>
void Report(const std::string& where, const std::basic_string<Char>& expected,
            const std::basic_string<Char>& actual)
{
    if (expected == actual)
    {
        return;
    }
    const auto mismatch =
        std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
    std::size_t differing = 0;
    for (std::size_t index = 0; index < std::min(expected.size(), actual.size()); ++index)
    {
        differing += expected[index] != actual[index] ? 1u : 0u;
    }
    std::cerr << "note: " << where << " differs from the library: " << actual.size() << " against "
              << expected.size() << " units, first at " << (mismatch.first - expected.begin())
              << ", " << differing << " units differ in place\n";
}

template <typename Char>
void Register(const std::string& table, const std::string& row,
              const std::vector<Contender<Char>>& contenders, double characters, bool check)
{
    std::basic_string<Char> expected;
    bool first = true;
    for (const Contender<Char>& contender : contenders)
    {
        if (!contender.Make)
        {
            continue;
        }
        const std::string name = table + "/" + row + "/" + contender.Name;
        if (check)
        {
            const auto subject = contender.Make();
            if (!subject || !subject->Convert())
            {
                std::cerr << "note: " << name << " fails to convert; left out\n";
                continue;
            }
            if (first)
            {
                expected = subject->Result();
            }
            else
            {
                Report(name, expected, subject->Result());
            }
        }
        first = false;
        const auto make = contender.Make;
        benchmark::RegisterBenchmark(name.c_str(), [make, characters](benchmark::State& state) {
            const auto subject = make();
            if (!subject)
            {
                state.SkipWithError("no such subject");
                return;
            }
            for (auto _ : state)
            {
                if (!subject->Convert())
                {
                    state.SkipWithError("conversion failed");
                    break;
                }
            }
            if (characters > 0)
            {
                state.counters["characters"] = characters;
            }
        });
    }
}

} // namespace

void RegisterRow(const std::string& table, const std::string& row,
                 const std::vector<Contender<char>>& contenders, double characters, bool check)
{
    Register(table, row, contenders, characters, check);
}

void RegisterRow(const std::string& table, const std::string& row,
                 const std::vector<Contender<wchar_t>>& contenders, double characters, bool check)
{
    Register(table, row, contenders, characters, check);
}

} // namespace Tolvane::Bench

// RandomNumberGenerator beside one mt19937 draw and std::uniform_int_distribution, and Seed()
// beside getrandom of the generator's state.
#include "common/RatioReporter.h"

#include <Tolvane/Util/RandomNumberGenerator.h>

#include <benchmark/benchmark.h>
#include <boost/random/mersenne_twister.hpp>
#include <sys/random.h>

#include <cstdint>
#include <limits>
#include <random>

namespace {

using Tolvane::Util::Long32;

void GetNumber(benchmark::State& state, Long32 minimum, Long32 maximum)
{
    Tolvane::Util::RandomNumberGenerator generator;
    generator.Seed(5489u);
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(generator.GetNumber(minimum, maximum));
    }
}

void Draw(benchmark::State& state)
{
    boost::mt19937 generator(5489u);
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(generator());
    }
}

// std::mt19937: the standard distribution needs constexpr bounds that Boost's engine lacks.
void Distribution(benchmark::State& state, Long32 minimum, Long32 maximum)
{
    std::mt19937 generator(5489u);
    std::uniform_int_distribution<std::int32_t> distribution(minimum, maximum);
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(distribution(generator));
    }
}

void SeedFromSystem(benchmark::State& state)
{
    Tolvane::Util::RandomNumberGenerator generator;
    for (auto _ : state)
    {
        generator.Seed();
        benchmark::DoNotOptimize(generator);
    }
}

// The entropy that seeding needs: the generator's 624 words.
void ReadSystemRandom(benchmark::State& state)
{
    std::uint32_t words[624];
    for (auto _ : state)
    {
        std::size_t done = 0;
        while (done < sizeof words)
        {
            const ssize_t got =
                getrandom(reinterpret_cast<char*>(words) + done, sizeof words - done, 0);
            if (got <= 0)
            {
                state.SkipWithError("getrandom failed");
                return;
            }
            done += static_cast<std::size_t>(got);
        }
        benchmark::DoNotOptimize(words);
    }
}

void SeedFromValue(benchmark::State& state)
{
    Tolvane::Util::RandomNumberGenerator generator;
    for (auto _ : state)
    {
        generator.Seed(5489u);
        benchmark::DoNotOptimize(generator);
    }
}

void SeedBoostFromValue(benchmark::State& state)
{
    boost::mt19937 generator;
    for (auto _ : state)
    {
        generator.seed(5489u);
        benchmark::DoNotOptimize(generator);
    }
}

} // namespace

int main(int argc, char** argv)
{
    constexpr Long32 lowest = std::numeric_limits<Long32>::min();
    constexpr Long32 highest = std::numeric_limits<Long32>::max();
    benchmark::RegisterBenchmark("random-draw/GetNumber-0..9/tolvane", GetNumber, 0, 9);
    benchmark::RegisterBenchmark("random-draw/GetNumber-0..9/mt19937-draw", Draw);
    benchmark::RegisterBenchmark("random-draw/GetNumber-0..9/uniform_int", Distribution, 0, 9);
    benchmark::RegisterBenchmark("random-draw/GetNumber-full-range/tolvane", GetNumber, lowest,
                                 highest);
    benchmark::RegisterBenchmark("random-draw/GetNumber-full-range/mt19937-draw", Draw);
    benchmark::RegisterBenchmark("random-draw/GetNumber-full-range/uniform_int", Distribution,
                                 lowest, highest);
    benchmark::RegisterBenchmark("random-seed/Seed()/tolvane", SeedFromSystem);
    benchmark::RegisterBenchmark("random-seed/Seed()/getrandom-624-words", ReadSystemRandom);
    benchmark::RegisterBenchmark("random-seed/Seed(value)/tolvane", SeedFromValue);
    benchmark::RegisterBenchmark("random-seed/Seed(value)/mt19937-seed", SeedBoostFromValue);
    return Tolvane::Bench::RunBenchmarks(argc, argv);
}

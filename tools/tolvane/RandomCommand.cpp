// tolvane random: numbers from a generator, reproducible with a seed.
#include "Commands.h"

#include <Tolvane/Util/RandomNumberGenerator.h>

#include <iostream>
#include <memory>

namespace Tolvane::Tool {

namespace {

struct RandomOptions
{
    Util::Long32 minimum = 0;
    Util::Long32 maximum = 0;
    unsigned count = 1;
    Util::ULong32 seed = 0;
    bool seeded = false;
};

int RunRandom(const RandomOptions& options)
{
    Util::RandomNumberGenerator generator;
    if (options.seeded)
    {
        generator.Seed(options.seed);
    }
    // A failed write (full disk, closed pipe) ends the run; main reports it.
    for (unsigned i = 0; i < options.count && std::cout; ++i)
    {
        std::cout << generator.GetNumber(options.minimum, options.maximum) << '\n';
    }
    return ExitSuccess;
}

} // namespace

void AddRandomCommand(CLI::App& app)
{
    auto options = std::make_shared<RandomOptions>();
    CLI::App* command = app.add_subcommand(
        "random", "Print random numbers from MIN to MAX inclusive (MIN when MIN >= MAX)");
    command->add_option("min", options->minimum, "Smallest number (32-bit signed)")
        ->required()
        ->check(IntegerText());
    command->add_option("max", options->maximum, "Largest number (32-bit signed)")
        ->required()
        ->check(IntegerText());
    command->add_option("--count,-n", options->count, "How many numbers (default 1)")
        ->check(IntegerText() & CLI::Range(1u, 100000000u));
    CLI::Option* seed = command
                            ->add_option("--seed", options->seed,
                                         "Seed (32-bit unsigned) for a reproducible sequence; "
                                         "default: the system's random source")
                            ->check(IntegerText());
    command->callback([options, seed] {
        options->seeded = seed->count() > 0;
        throw CLI::RuntimeError(RunRandom(*options));
    });
}

} // namespace Tolvane::Tool

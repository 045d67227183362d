// The subcommands of the tolvane program and the conventions they share.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace Tolvane::Tool {

// Exit codes: 0 success, 1 the operation failed, 2 bad usage.
enum ExitCode
{
    ExitSuccess = 0,
    ExitFailure = 1,
    ExitUsage = 2
};

// Ends the running subcommand with `code` after `message` (if any) went to stderr.
[[noreturn]] void Fail(ExitCode code, const std::string& message);

// "'<path>': <the OS's reason for errno>", for messages about files.
std::string DescribeFileError(const std::string& path, int error);

// Accepts a whole decimal integer, optionally negative: no blanks, no empty text, no base
// prefixes. CLI11 alone reads "" as 0.
const CLI::Validator& IntegerText();

// Each adds one subcommand to the program.
void AddConvertCommand(CLI::App& app);
void AddLoadCommand(CLI::App& app);
void AddRandomCommand(CLI::App& app);
void AddSysinfoCommand(CLI::App& app);
void AddTourCommand(CLI::App& app);
void AddWaitCommand(CLI::App& app);

} // namespace Tolvane::Tool

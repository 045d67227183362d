// tolvane convert: text from one encoding to another, streamed through the wide form.
#include "Commands.h"
#include "Encodings.h"
#include "Files.h"
#include "StreamConverter.h"

#include <cstdio>
#include <iostream>
#include <memory>
#include <vector>

namespace Tolvane::Tool {

namespace {

struct ConvertOptions
{
    std::string from;
    std::string to;
    bool list = false;
    bool bestFit = false;
    bool strict = false;
    std::string defaultChar = "?";
    bool systemDefaultChar = false;
    std::string bom;
    std::string output;
    std::size_t bufferSize = 0;
    std::vector<std::string> files;
};

int ListEncodings()
{
    std::printf("%5s  %-6s  %-34s  %s\n", "page", "name", "also accepted", "description");
    for (const CodePageEntry& page : ListAvailableCodePages())
    {
        std::printf("%5u  %-6s  %-34s  %s\n", page.number, page.libraryName.c_str(),
                    page.aliases.c_str(), page.description.c_str());
    }
    std::printf("Also: ANSI and OEM, the system's own code pages; cp<n>, windows-<n>, ibm<n> "
                "and <n> for page n. Names are case-insensitive.\n");
    return ExitSuccess;
}

std::string LibraryNameOf(const std::string& name)
{
    const std::optional<std::string> libraryName = ToLibraryEncodingName(name);
    if (!libraryName)
    {
        Fail(ExitUsage,
             "tolvane convert: unknown encoding '" + name + "' (try tolvane convert --list)");
    }
    if (!IsEncodingAvailable(*libraryName))
    {
        Fail(ExitUsage, "tolvane convert: encoding '" + name + "' (" + *libraryName +
                            ") is not available on this system (try tolvane convert --list)");
    }
    return *libraryName;
}

ConversionSettings SettingsOf(const ConvertOptions& options)
{
    if (options.from.empty() || options.to.empty())
    {
        Fail(ExitUsage, "tolvane convert: --from and --to are required (or --list)");
    }
    if (options.defaultChar.size() != 1)
    {
        Fail(ExitUsage, "tolvane convert: --default-char takes exactly one byte");
    }
    ConversionSettings settings;
    settings.from = LibraryNameOf(options.from);
    settings.to = LibraryNameOf(options.to);
    settings.bestFit = options.bestFit;
    settings.strict = options.strict;
    settings.systemDefaultChar = options.systemDefaultChar;
    settings.defaultChar = options.defaultChar[0];
    if (options.bufferSize != 0)
    {
        settings.readSize = options.bufferSize;
        settings.maxPending = 4 * options.bufferSize;
    }
    return settings;
}

int RunConvert(const ConvertOptions& options)
{
    if (options.list)
    {
        return ListEncodings();
    }
    ConversionSettings settings = SettingsOf(options);
    std::unique_ptr<StreamConverter> converter;
    try
    {
        converter = std::make_unique<StreamConverter>(settings);
    }
    catch (const std::exception& e)
    {
        Fail(ExitFailure, std::string("tolvane convert: ") + e.what());
    }
    // A byte-order mark means nothing in a code page: by default it goes when the target has
    // none, and stays when it is UTF too.
    if (options.bom == "add" && !converter->TargetIsUtf())
    {
        Fail(ExitUsage,
             "tolvane convert: --bom=add needs a UTF-8 or UTF-7 target, not '" + options.to + "'");
    }
    settings.bom = options.bom == "keep"      ? BomHandling::Keep
                   : options.bom == "strip"   ? BomHandling::Strip
                   : options.bom == "add"     ? BomHandling::Add
                   : converter->TargetIsUtf() ? BomHandling::Keep
                                              : BomHandling::Strip;
    converter = std::make_unique<StreamConverter>(settings);

    try
    {
        OutputFile output(options.output);
        const StreamConverter::Writer write = [&output](const char* data, std::size_t size) {
            output.Write(data, size);
        };
        for (const std::string& path : options.files)
        {
            InputFile input(path);
            converter->Convert(
                input.Name(),
                [&input](char* buffer, std::size_t size) { return input.Read(buffer, size); },
                write);
        }
        output.Commit();
    }
    catch (const std::exception& e)
    {
        Fail(ExitFailure, std::string("tolvane convert: ") + e.what());
    }
    for (const std::string& line : converter->Report())
    {
        std::cerr << "tolvane convert: " << line << '\n';
    }
    return converter->SawInvalidInput() ? ExitFailure : ExitSuccess;
}

} // namespace

void AddConvertCommand(CLI::App& app)
{
    auto options = std::make_shared<ConvertOptions>();
    CLI::App* command = app.add_subcommand(
        "convert", "Convert text from one encoding to another (see --list for the encodings)");
    command->add_option("-f,--from", options->from, "Encoding of the input");
    command->add_option("-t,--to", options->to, "Encoding of the output");
    command->add_flag("-l,--list", options->list,
                      "List the code pages this system supports, with their names");
    command->add_option(
        "-o,--output", options->output,
        "Write to FILE (created complete or not at all) instead of standard output");
    CLI::Option* bestFit = command->add_flag(
        "--best-fit", options->bestFit,
        "Replace characters the target lacks by look-alikes where it has one (\"∞\" becomes "
        "\"8\"); without it they become the default character");
    CLI::Option* strict = command->add_flag(
        "--strict", options->strict,
        "Stop at the first invalid input or character the target cannot represent exactly, with "
        "exit code 1 and its position");
    CLI::Option* defaultChar = command->add_option(
        "--default-char", options->defaultChar,
        "The byte that replaces characters the target cannot represent (default '?')");
    CLI::Option* systemDefault =
        command->add_flag("--system-default-char", options->systemDefaultChar,
                          "Use the target code page's own default character");
    command
        ->add_option("--bom", options->bom,
                     "A byte-order mark in UTF-8 or UTF-7 text: keep, strip or add (default: "
                     "strip when the target is not UTF, else keep)")
        ->check(CLI::IsMember({"keep", "strip", "add"}));
    command->add_option("--buffer-size", options->bufferSize)
        ->group("")
        ->check(IntegerText() & CLI::Range(std::size_t{1}, std::size_t{1} << 30));
    defaultChar->excludes(systemDefault);
    strict->excludes(bestFit)->excludes(defaultChar)->excludes(systemDefault);
    command->add_option("files", options->files,
                        "Input files, converted in order; - is standard input (the default)");
    command->callback([options] {
        if (options->files.empty())
        {
            options->files.push_back("-");
        }
        throw CLI::RuntimeError(RunConvert(*options));
    });
}

} // namespace Tolvane::Tool

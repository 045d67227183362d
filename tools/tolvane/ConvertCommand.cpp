// tolvane convert: narrow text from one encoding to another, through the wide form.
#include "BinaryStreams.h"
#include "Commands.h"

#include <Tolvane/Util/StringConversion.h>

#include <boost/lexical_cast.hpp>

#include <iostream>
#include <memory>
#include <stdexcept>

namespace Tolvane
{
namespace Tool
{

namespace
{

struct ConvertOptions
{
    std::string from;
    std::string to;
    bool noBestFit = false;
    std::string defaultChar = "?";
    bool systemDefaultChar = false;
    std::string file;
};

// The library does not look at the encoding names of an empty text, so a one-character probe
// makes it judge them before any input is read.
void CheckEncodingNames(const ConvertOptions& options)
{
    using namespace Util::StringConversion;
    std::wstring wide;
    std::string narrow;
    bool used = false;
    Detail::ConvertStringToWString("x", wide, options.from, "");
    Detail::ConvertWStringToString(L"x", narrow, "", options.to, AllowBestFitMapping,
                                   UseSpecifiedDefaultChar, '?', used);
}

int RunConvert(const ConvertOptions& options)
{
    using namespace Util::StringConversion;
    if (options.defaultChar.size() != 1)
    {
        Fail(ExitUsage, "tolvane convert: --default-char takes exactly one byte");
    }
    std::string input;
    try
    {
        CheckEncodingNames(options);
        input = ReadAllBytes(options.file);
    }
    catch (const std::invalid_argument& e)
    {
        Fail(ExitUsage, std::string("tolvane convert: ") + e.what());
    }
    catch (const boost::bad_lexical_cast&)
    {
        Fail(ExitUsage, "tolvane convert: a \"CP\" encoding name needs a code-page number.");
    }
    catch (const std::runtime_error& e)
    {
        Fail(ExitFailure, std::string("tolvane convert: ") + e.what());
    }

    std::wstring wide;
    std::string output;
    bool usedDefaultChar = false;
    try
    {
        if (!Detail::ConvertStringToWString(input, wide, options.from, ""))
        {
            Fail(ExitFailure, "tolvane convert: the input is not convertible from '" +
                                  options.from + "' on this system.");
        }
        if (!Detail::ConvertWStringToString(
                wide, output, "", options.to,
                options.noBestFit ? DisallowBestFitMapping : AllowBestFitMapping,
                options.systemDefaultChar ? UseSystemDefaultChar : UseSpecifiedDefaultChar,
                options.defaultChar[0], usedDefaultChar))
        {
            Fail(ExitFailure, "tolvane convert: the text is not convertible to '" + options.to +
                                  "'" + (options.noBestFit ? " without best-fit mapping" : "") +
                                  " on this system.");
        }
    }
    catch (const std::invalid_argument& e)
    {
        Fail(ExitUsage, std::string("tolvane convert: ") + e.what());
    }
    if (!WriteAllBytes(output))
    {
        Fail(ExitFailure, "tolvane convert: cannot write the output.");
    }
    if (usedDefaultChar)
    {
        std::cerr << "tolvane convert: the default character replaced characters that '"
                  << options.to << "' cannot represent.\n";
    }
    return ExitSuccess;
}

} // namespace

void AddConvertCommand(CLI::App& app)
{
    auto options = std::make_shared<ConvertOptions>();
    CLI::App* command = app.add_subcommand(
        "convert", "Convert bytes from one encoding to another (ANSI, OEM, UTF-7, UTF-8, CP<n>)");
    command->add_option("--from", options->from, "Encoding of the input")->required();
    command->add_option("--to", options->to, "Encoding of the output")->required();
    command->add_flag("--no-best-fit", options->noBestFit,
                      "Replace characters without an exact counterpart by the default character "
                      "instead of a look-alike");
    CLI::Option* defaultChar = command->add_option(
        "--default-char", options->defaultChar,
        "The byte that replaces characters the target cannot represent (default '?')");
    CLI::Option* systemDefault =
        command->add_flag("--system-default-char", options->systemDefaultChar,
                          "Use the target code page's own default character (not reported)");
    defaultChar->excludes(systemDefault);
    command->add_option("file", options->file, "Input file (default: standard input)");
    command->callback([options] { throw CLI::RuntimeError(RunConvert(*options)); });
}

} // namespace Tool
} // namespace Tolvane

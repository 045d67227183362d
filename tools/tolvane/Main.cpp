// tolvane: try the TolvaneUtil library from the shell.
#include "Commands.h"
#include "Terminal.h"

#include <Tolvane/Util/StringConversion.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <vector>

namespace Tolvane::Tool {

void Fail(ExitCode code, const std::string& message)
{
    if (!message.empty())
    {
        std::cerr << message << '\n';
    }
    throw CLI::RuntimeError(code);
}

std::string DescribeFileError(const std::string& path, int error)
{
    return "'" + path + "': " + std::strerror(error);
}

const CLI::Validator& IntegerText()
{
    static const CLI::Validator validator(
        [](std::string& text) -> std::string {
            const std::size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
            if (text.size() == start ||
                text.find_first_not_of("0123456789", start) != std::string::npos)
            {
                return "'" + text + "' is not a whole number";
            }
            return "";
        },
        "INTEGER");
    return validator;
}

namespace {

const char* const s_ExitCodes =
    "Exit codes: 0 success; 1 the operation failed (a file that cannot be "
    "read or written, invalid input, a library or export not found); 2 "
    "bad usage (unknown command, option or encoding, a malformed "
    "argument).";

// Everything a command printed must have reached its destination: a full disk or a closed
// standard output is a failure, not a success with lost output.
int CheckStandardOutput(int code)
{
    errno = 0;
    std::cout.flush();
    const bool failed = std::fflush(stdout) != 0 || std::ferror(stdout) || !std::cout;
    if (!failed)
    {
        return code;
    }
    const int error = errno;
    std::cerr << "tolvane: cannot write to standard output"
              << (error != 0 ? std::string(": ") + std::strerror(error) : std::string()) << '\n';
    return code == ExitUsage ? ExitUsage : ExitFailure;
}

int Run(int argc, const char* const* argv)
{
    CLI::App app("tolvane: the TolvaneUtil library from the command line", "tolvane");
    app.set_version_flag("--version", "tolvane " TOLVANE_VERSION);
    app.footer(s_ExitCodes);
    app.require_subcommand(1);
    // File names may start with "/", also on Windows.
    app.allow_windows_style_options(false);
    AddTourCommand(app);
    AddConvertCommand(app);
    AddRandomCommand(app);
    AddWaitCommand(app);
    AddLoadCommand(app);
    AddSysinfoCommand(app);
    if (argc < 2)
    {
        std::cerr << "tolvane: a command is required (try tolvane --help)\n";
        return ExitUsage;
    }
    const std::string first = argv[1];
    if (first.empty() || first[0] != '-')
    {
        const std::vector<CLI::App*> commands = app.get_subcommands({});
        bool known = false;
        for (const CLI::App* command : commands)
        {
            known = known || command->get_name() == first;
        }
        if (!known)
        {
            std::cerr << "tolvane: unknown command '" << first << "' (try tolvane --help)\n";
            return ExitUsage;
        }
    }
    try
    {
        app.parse(argc, argv);
    }
    catch (const CLI::RuntimeError& e)
    {
        return e.get_exit_code();
    }
    catch (const CLI::ParseError& e)
    {
        // --help and --version end here too, with exit code 0; every other parse error is a
        // usage error.
        const int code = app.exit(e);
        return code == 0 ? ExitSuccess : ExitUsage;
    }
    return ExitSuccess;
}

} // namespace
} // namespace Tolvane::Tool

#if defined(_WIN32)
// Windows hands the program its arguments in UTF-16; narrow arguments would lose every
// character outside the ANSI code page. The commands take them as UTF-8 and turn file and
// library names back into wide ones.
int wmain(int argc, wchar_t** argv)
{
    using namespace Tolvane::Tool;
    using namespace Tolvane::Util::StringConversion;
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i)
    {
        std::string narrow;
        bool used = false;
        if (!Detail::ConvertWStringToString(argv[i], narrow, "", "UTF-8", DisallowBestFitMapping,
                                            UseSpecifiedDefaultChar, '?', used))
        {
            narrow.clear();
        }
        arguments.push_back(narrow);
    }
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments)
    {
        pointers.push_back(argument.c_str());
    }
    UseUtf8Console();
    return CheckStandardOutput(Run(argc, pointers.data()));
}
#else
int main(int argc, char** argv)
{
    using namespace Tolvane::Tool;
    return CheckStandardOutput(Run(argc, argv));
}
#endif

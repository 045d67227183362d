// tolvane: try the TolvaneUtil library from the shell.
#include "Commands.h"

#include <iostream>

namespace Tolvane
{
namespace Tool
{

void Fail(ExitCode code, const std::string& message)
{
    if (!message.empty())
    {
        std::cerr << message << '\n';
    }
    throw CLI::RuntimeError(code);
}

} // namespace Tool
} // namespace Tolvane

int main(int argc, char** argv)
{
    using namespace Tolvane::Tool;
    CLI::App app("tolvane: the TolvaneUtil library from the command line", "tolvane");
    app.set_version_flag("--version", "tolvane " TOLVANE_VERSION);
    app.require_subcommand(1);
    // File names may start with "/", also on Windows.
    app.allow_windows_style_options(false);
    AddTourCommand(app);
    AddConvertCommand(app);
    AddRandomCommand(app);
    AddWaitCommand(app);
    AddLoadCommand(app);
    AddSysinfoCommand(app);
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

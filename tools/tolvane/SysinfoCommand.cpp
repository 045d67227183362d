// tolvane sysinfo: what the library sees of this system.
#include "CodePageProbe.h"
#include "Commands.h"

#include <Tolvane/Util/OperatingSystem.h>

#include <iostream>

namespace Tolvane::Tool {

namespace {

std::string Describe(const std::optional<unsigned>& codePage)
{
    if (!codePage)
    {
        return "unknown";
    }
    return std::to_string(*codePage) + (*codePage == 65001 ? " (UTF-8)" : "");
}

const char* YesNo(bool value)
{
    return value ? "yes" : "no";
}

int RunSysinfo()
{
    std::cout << "TolvaneUtil version:       " << TOLVANE_VERSION << '\n'
              << "Windows NT platform:       " << YesNo(Util::IsWindowsNtPlatform()) << '\n'
              << "Windows XP or later:       " << YesNo(Util::IsWindowsXpOrHigher()) << '\n'
              << "ANSI code page:            " << Describe(IdentifyCodePage("ANSI")) << '\n'
              << "OEM code page:             " << Describe(IdentifyCodePage("OEM")) << '\n'
              << "wide characters:           " << (sizeof(wchar_t) == 2 ? "UTF-16" : "UTF-32")
              << '\n'
              << "best-fit suppression:      "
              << (CanForbidBestFit() ? "supported" : "not supported (round trip instead)") << '\n';
    return ExitSuccess;
}

} // namespace

void AddSysinfoCommand(CLI::App& app)
{
    CLI::App* command = app.add_subcommand("sysinfo", "Show what the library sees of this system");
    command->callback([] { throw CLI::RuntimeError(RunSysinfo()); });
}

} // namespace Tolvane::Tool

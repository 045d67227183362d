// tolvane load: load a library by narrow or wide name and look up exports.
#include "Commands.h"
#include "Utf8Text.h"

#include <Tolvane/Util/DllLoader.h>
#include <Tolvane/Util/StringConversion.h>

#include <cstdio>
#include <iostream>
#include <memory>
#include <vector>

namespace Tolvane::Tool {

namespace {

struct LoadOptions
{
    std::string library;
    bool wide = false;
    std::vector<std::string> exports;
};

// "#12" names an ordinal; false when what follows '#' is no number from 0 to 65535.
bool ParseOrdinal(const std::string& text, unsigned short& ordinal)
{
    if (text.size() < 2 || text.size() > 6)
    {
        return false;
    }
    unsigned long value = 0;
    for (std::size_t i = 1; i < text.size(); ++i)
    {
        if (text[i] < '0' || text[i] > '9')
        {
            return false;
        }
        value = value * 10 + static_cast<unsigned long>(text[i] - '0');
    }
    if (value > 65535)
    {
        return false;
    }
    ordinal = static_cast<unsigned short>(value);
    return true;
}

Util::DllLoader Load(const LoadOptions& options)
{
    using namespace Util::StringConversion;
    if (!options.wide)
    {
#if defined(_WIN32)
        // The arguments arrive as UTF-8 (see wmain); a narrow name is in the ANSI code page.
        std::wstring wideName;
        std::string ansiName;
        bool used = false;
        if (!Detail::ConvertStringToWString(options.library, wideName, "UTF-8", "") ||
            !Detail::ConvertWStringToString(wideName, ansiName, "", "ANSI", DisallowBestFitMapping,
                                            UseSpecifiedDefaultChar, '?', used) ||
            used)
        {
            Fail(ExitUsage, "tolvane load: the library name '" + options.library +
                                "' has no form in the ANSI code page; load it with --wide.");
        }
        return Util::DllLoader(ansiName, 0);
#else
        return Util::DllLoader(options.library, 0);
#endif
    }
    // The library would turn a malformed byte into U+FFFD and load a file of another name.
    const std::size_t bad = FindInvalidUtf8(options.library.data(), options.library.size());
    std::wstring wideName;
    if (bad != options.library.size() || !Util::StringConversion::Detail::ConvertStringToWString(
                                             options.library, wideName, "UTF-8", ""))
    {
        Fail(ExitUsage, "tolvane load: the library name '" + options.library +
                            "' is not valid UTF-8 (byte " + std::to_string(bad) +
                            "), so it has no wide form.");
    }
    return Util::DllLoader(wideName, 0);
}

int RunLoad(const LoadOptions& options)
{
    for (const std::string& name : options.exports)
    {
        unsigned short ordinal = 0;
        if (name.empty() || (name[0] == '#' && !ParseOrdinal(name, ordinal)))
        {
            Fail(ExitUsage,
                 "tolvane load: '" + name + "' is no export name or #ordinal (0 to 65535).");
        }
    }
    try
    {
        const Util::DllLoader loader = Load(options);
        std::cout << "loaded '" << options.library << "'" << (options.wide ? " (wide name)" : "")
                  << '\n';
        int result = ExitSuccess;
        for (const std::string& name : options.exports)
        {
            try
            {
                unsigned short ordinal = 0;
                void* address = name[0] == '#' && ParseOrdinal(name, ordinal)
                                    ? loader.GetProcAddress(ordinal)
                                    : loader.GetProcAddress(name.c_str());
                std::cout << name << ": " << address << '\n';
            }
            catch (const Exception& e)
            {
                std::cerr << "tolvane load: " << e.what() << '\n';
                result = ExitFailure;
            }
        }
        return result;
    }
    catch (const Exception& e)
    {
        Fail(ExitFailure, std::string("tolvane load: ") + e.what());
    }
}

} // namespace

void AddLoadCommand(CLI::App& app)
{
    auto options = std::make_shared<LoadOptions>();
    CLI::App* command =
        app.add_subcommand("load", "Load a dynamic library and print the addresses of exports");
    command->add_option("library", options->library, "The library's name or path")->required();
    command->add_flag("--wide", options->wide, "Load it by its wide (UTF-16) name");
    command->add_option("exports", options->exports, "Export names, or #ordinal");
    command->callback([options] { throw CLI::RuntimeError(RunLoad(*options)); });
}

} // namespace Tolvane::Tool

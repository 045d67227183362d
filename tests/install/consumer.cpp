// Uses the installed library through its public headers only, and checks what it gets.
#include <Tolvane/Exception.h>
#include <Tolvane/Util/StringConversion.h>

#include <cstdio>
#include <string>

int main()
{
    using namespace Tolvane::Util::StringConversion;
    std::string narrow;
    bool used = false;
    const bool converted = Detail::ConvertWStringToString(L"\x0100\x00E9", narrow, "", "CP1252",
                                                          DisallowBestFitMapping,
                                                          UseSpecifiedDefaultChar, '?', used) &&
                           narrow == "?\xE9" && used;
    try
    {
        Detail::ThrowConvertStringException("from the library");
    }
    catch (const Tolvane::Exception& e)
    {
        std::printf("wide to CP1252: %s, exception by type: %s\n", converted ? "ok" : "FAILED",
                    e.what());
        return converted && std::string(e.what()) == "from the library" ? 0 : 1;
    }
    std::printf("the exception was not caught by its type\n");
    return 1;
}

// Uses the installed library through its public headers only, and checks what it gets.
#include <Tolvane/Exception.h>
#include <Tolvane/Util/StringConversion.h>

#include <cstdio>
#include <string>

int main()
{
    using namespace Tolvane::Util::StringConversion;
    int failures = 0;
    const auto check = [&failures](bool ok, const char* what) {
        std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
        failures += ok ? 0 : 1;
    };

    std::wstring wide;
    check(Detail::ConvertStringToWString("caf\xC3\xA9", wide, "UTF-8", "") && wide == L"caf\x00E9",
          "UTF-8 to wide");
    std::string narrow;
    bool used = true;
    check(Detail::ConvertWStringToString(L"\x0100\x00E9", narrow, "", "CP1252",
                                         DisallowBestFitMapping, UseSpecifiedDefaultChar, '?',
                                         used) &&
              narrow == "?\xE9" && used,
          "wide to CP1252 without best fit");
    try
    {
        Detail::ThrowConvertStringException("from the library");
        check(false, "exception thrown");
    }
    catch (const Tolvane::Exception& e)
    {
        check(std::string(e.what()) == "from the library", "exception caught by type");
    }
    return failures == 0 ? 0 : 1;
}

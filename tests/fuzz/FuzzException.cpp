// Fuzzes Exception with narrow and wide messages: the form given reads back as given, the other
// is the conversion's answer, and copies share what they should.
#include "FuzzSupport.h"

#include <Tolvane/Exception.h>

#include <cstring>

using namespace TolvaneFuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const bool narrowGiven = input.ConsumeBool();
    std::string narrow;
    std::wstring wide;
    bool used = false;
    if (narrowGiven)
    {
        narrow = input.ConsumeRemainingBytesAsString();
        wide = Detail::ConvertStringToWString(narrow, wide, "", "") ? wide : L"";
    }
    else
    {
        wide = ConsumeWideText(input, false);
        narrow = Detail::ConvertWStringToString(wide, narrow, "", "", AllowBestFitMapping,
                                                UseSpecifiedDefaultChar, '?', used)
                     ? narrow
                     : "";
    }
    const Tolvane::Exception early =
        narrowGiven ? Tolvane::Exception(narrow) : Tolvane::Exception(wide);
    const Tolvane::Exception e(early); // copied before the first what()
    const char* const text = e.what();
    // A C string holds the text up to its first NUL.
    Check(std::strcmp(text, narrow.c_str()) == 0 && e.what() == text, "what() differs or moved");
    Check(std::strcmp(early.what(), narrow.c_str()) == 0, "an early copy reads differently");
    Check(e.GetWideMessage() == wide, "the wide message differs");
    try
    {
        throw e;
    }
    catch (const std::exception& caught)
    {
        Check(caught.what() == text, "a thrown copy does not share the narrow text");
    }
    return 0;
}

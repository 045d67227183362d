// Fuzzes Exception with narrow and wide messages: each form reads back as given, the other is
// the conversion's answer, and copies share what they should.
#include "FuzzSupport.h"

#include <Tolvane/Exception.h>

#include <cstring>

using namespace TolvaneFuzz;

namespace {

// A C string holds the text up to its first NUL.
bool SameCString(const char* actual, const std::string& expected)
{
    return std::strcmp(actual, expected.c_str()) == 0;
}

void CheckNarrow(const std::string& message)
{
    const Tolvane::Exception e(message);
    const char* const text = e.what();
    Check(SameCString(text, message) && e.what() == text, "what() differs or moved");
    std::wstring expected;
    if (!Detail::ConvertStringToWString(message, expected, "", ""))
    {
        expected.clear();
    }
    Check(e.GetWideMessage() == expected, "wide form is not the conversion's answer");
    Check(Tolvane::Exception(e).what() == text, "a copy does not share the narrow message");
}

void CheckWide(const std::wstring& message)
{
    const Tolvane::Exception early(message);
    const Tolvane::Exception e(early);
    std::string expected;
    bool used = false;
    if (!Detail::ConvertWStringToString(message, expected, "", "", AllowBestFitMapping,
                                        UseSpecifiedDefaultChar, '?', used))
    {
        expected.clear();
    }
    const char* const text = e.what();
    Check(SameCString(text, expected) && e.what() == text, "what() is not the conversion's answer");
    Check(e.GetWideMessage() == message, "wide message changed");
    Check(SameCString(early.what(), expected), "an early copy converts differently");
    try
    {
        throw e;
    }
    catch (const std::exception& caught)
    {
        Check(caught.what() == text, "a thrown copy does not share the converted text");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    if (input.ConsumeBool())
    {
        CheckNarrow(input.ConsumeRemainingBytesAsString());
    }
    else
    {
        CheckWide(ConsumeWideText(input, false));
    }
    return 0;
}

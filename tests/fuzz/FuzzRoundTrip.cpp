// Fuzzes the round trip of valid text through UTF-8 and UTF-7: it must come back exactly, and
// its UTF-8 form must be the standard one.
#include "FuzzSupport.h"

#include <Tolvane/Util/StringConversion.h>

using namespace Tolvane::Util::StringConversion;
using TolvaneFuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    static const char* const utfNames[] = {"UTF-8", "CP65001", "UTF-7", "CP65000"};
    const std::string name = utfNames[input.ConsumeIntegralInRange<std::size_t>(0, 3)];
    // Ignored on UTF pages, so any choice must do.
    const BestFitMappingPolicy bestFit = TolvaneFuzz::ConsumeBestFitPolicy(input);
    const CharacterSubstitutionPolicy substitution = TolvaneFuzz::ConsumeSubstitutionPolicy(input);
    const char defaultChar = input.ConsumeIntegral<char>();
    const std::wstring text = TolvaneFuzz::ConsumeWideText(input, true);

    std::string narrow;
    bool usedDefaultChar = true;
    Check(Detail::ConvertWStringToString(text, narrow, "", name, bestFit, substitution, defaultChar,
                                         usedDefaultChar),
          "valid text did not convert to a UTF page");
    Check(!usedDefaultChar, "used-default reported on a UTF page");
    Check(text.empty() == narrow.empty(), "empty result from a non-empty source or back");
    if (name == "UTF-8" || name == "CP65001")
    {
        Check(narrow == TolvaneFuzz::EncodeUtf8(text), "not the standard UTF-8 form");
    }
    else
    {
        for (const char byte : narrow)
        {
            Check(static_cast<unsigned char>(byte) < 0x80U, "UTF-7 output not 7-bit");
        }
    }
    std::wstring back;
    Check(Detail::ConvertStringToWString(narrow, back, name, "UTF-16"),
          "the narrow form did not convert back");
    Check(back == text, "text changed on the round trip");
    return 0;
}

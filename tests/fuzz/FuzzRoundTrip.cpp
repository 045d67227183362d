// Fuzzes the round trip of valid text through UTF-8 and UTF-7: it must come back exactly, and
// its UTF-8 form must be the standard one.
#include "FuzzSupport.h"

#include <algorithm>

using namespace TolvaneFuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    static const char* const utfNames[] = {"UTF-8", "CP65001", "UTF-7", "CP65000"};
    const std::size_t pick = input.ConsumeIntegralInRange<std::size_t>(0, 3);
    // Ignored on UTF pages, so any choice must do.
    const auto bestFit = ConsumePolicy<BestFitMappingPolicy>(input);
    const auto substitution = ConsumePolicy<CharacterSubstitutionPolicy>(input);
    const char defaultChar = input.ConsumeIntegral<char>();
    const std::wstring text = ConsumeWideText(input, true);

    std::string narrow;
    bool usedDefaultChar = true;
    Check(Detail::ConvertWStringToString(text, narrow, "", utfNames[pick], bestFit, substitution,
                                         defaultChar, usedDefaultChar),
          "valid text did not convert to a UTF page");
    Check(!usedDefaultChar, "used-default reported on a UTF page");
    Check(text.empty() == narrow.empty(), "empty result from a non-empty source or back");
    const bool sevenBit =
        std::none_of(narrow.begin(), narrow.end(), [](char byte) { return (byte & 0x80) != 0; });
    Check(pick < 2 ? narrow == EncodeUtf8(text) : sevenBit,
          "UTF-8 not in its standard form, or UTF-7 beyond seven bits");
    std::wstring back;
    Check(Detail::ConvertStringToWString(narrow, back, utfNames[pick], "UTF-16"),
          "the narrow form did not convert back");
    Check(back == text, "text changed on the round trip");
    return 0;
}

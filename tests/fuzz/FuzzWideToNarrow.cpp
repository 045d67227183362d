// Fuzzes wide-to-narrow conversion: any text, encoding names, policies and default character.
#include "FuzzSupport.h"

using namespace TolvaneFuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string sourceEncoding = ConsumeWideEncodingName(input);
    const std::string destinationEncoding = ConsumeNarrowEncodingName(input);
    const auto bestFit = ConsumePolicy<BestFitMappingPolicy>(input);
    const auto substitution = ConsumePolicy<CharacterSubstitutionPolicy>(input);
    const char defaultChar = input.ConsumeIntegral<char>();
    const bool usedBefore = input.ConsumeBool();
    const std::wstring source = ConsumeWideText(input, false);

    const std::string untouched("\x01untouched");
    std::string destination = untouched;
    bool usedDefaultChar = usedBefore;
    if (!CheckedConversion("ConvertWStringToString", true, sourceEncoding, destinationEncoding,
                           source.empty(), [&] {
                               return Detail::ConvertWStringToString(
                                   source, destination, sourceEncoding, destinationEncoding,
                                   bestFit, substitution, defaultChar, usedDefaultChar);
                           }))
    {
        Check(destination == untouched && usedDefaultChar == usedBefore,
              "outputs written by a failed conversion");
        return 0;
    }
    Check(source.empty() == destination.empty(), "empty result from a non-empty source or back");
    const bool utf = destinationEncoding == "UTF-7" || destinationEncoding == "UTF-8" ||
                     destinationEncoding == "CP65000" || destinationEncoding == "CP65001";
    Check(!usedDefaultChar || (!utf && substitution != UseSystemDefaultChar),
          "used-default reported on a UTF page or with the system's default");
    return 0;
}

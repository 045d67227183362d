// Fuzzes wide-to-narrow conversion: any text, encoding names, policies and default character.
#include "FuzzSupport.h"

#include <Tolvane/Util/StringConversion.h>

#include <boost/lexical_cast.hpp>

#include <cstring>
#include <new>
#include <stdexcept>

using namespace Tolvane::Util::StringConversion;
using TolvaneFuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string sourceEncoding = TolvaneFuzz::ConsumeWideEncodingName(input);
    const std::string destinationEncoding = TolvaneFuzz::ConsumeNarrowEncodingName(input);
    const BestFitMappingPolicy bestFit = TolvaneFuzz::ConsumeBestFitPolicy(input);
    const CharacterSubstitutionPolicy substitution = TolvaneFuzz::ConsumeSubstitutionPolicy(input);
    const char defaultChar = input.ConsumeIntegral<char>();
    const bool usedBefore = input.ConsumeBool();
    const std::wstring source = TolvaneFuzz::ConsumeWideText(input, false);

    const std::string untouched("\x01untouched");
    std::string destination = untouched;
    bool usedDefaultChar = usedBefore;
    bool converted = false;
    try
    {
        converted =
            Detail::ConvertWStringToString(source, destination, sourceEncoding, destinationEncoding,
                                           bestFit, substitution, defaultChar, usedDefaultChar);
    }
    catch (const std::invalid_argument& e)
    {
        const bool badSource = !sourceEncoding.empty() && sourceEncoding != "UTF-16";
        Check(std::strcmp(e.what(),
                          badSource ? "ConvertWStringToString: invalid source encoding."
                                    : "ConvertWStringToString: invalid destination encoding.") == 0,
              "invalid_argument names the wrong side");
        Check(badSource || !source.empty(), "an empty source looked at the destination name");
    }
    catch (const boost::bad_lexical_cast&)
    {
        Check(!source.empty() && destinationEncoding.compare(0, 2, "CP") == 0,
              "bad_lexical_cast without a CP name to parse");
    }
    catch (const std::bad_alloc&)
    {
    }
    if (!converted)
    {
        Check(destination == untouched && usedDefaultChar == usedBefore,
              "outputs written by a failed conversion");
        return 0;
    }
    Check(source.empty() == destination.empty(), "empty result from a non-empty source or back");
    if (usedDefaultChar)
    {
        Check(!TolvaneFuzz::IsUtfName(destinationEncoding), "used-default reported on a UTF page");
        Check(substitution != UseSystemDefaultChar,
              "used-default reported with the system's default");
    }
    return 0;
}

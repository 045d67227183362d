// Fuzzes narrow-to-wide conversion: any bytes and encoding names.
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
    const std::string sourceEncoding = TolvaneFuzz::ConsumeNarrowEncodingName(input);
    const std::string destinationEncoding = TolvaneFuzz::ConsumeWideEncodingName(input);
    const std::string source = input.ConsumeRemainingBytesAsString();

    const std::wstring untouched(L"\x01untouched");
    std::wstring destination = untouched;
    bool converted = false;
    try
    {
        converted = Detail::ConvertStringToWString(source, destination, sourceEncoding,
                                                   destinationEncoding);
    }
    catch (const std::invalid_argument& e)
    {
        const bool badDestination = !destinationEncoding.empty() && destinationEncoding != "UTF-16";
        Check(std::strcmp(e.what(), badDestination
                                        ? "ConvertStringToWString: invalid destination encoding."
                                        : "ConvertStringToWString: invalid source encoding.") == 0,
              "invalid_argument names the wrong side");
        Check(badDestination || !source.empty(), "an empty source looked at the source name");
    }
    catch (const boost::bad_lexical_cast&)
    {
        Check(!source.empty() && sourceEncoding.compare(0, 2, "CP") == 0,
              "bad_lexical_cast without a CP name to parse");
    }
    catch (const std::bad_alloc&)
    {
    }
    if (!converted)
    {
        Check(destination == untouched, "output written by a failed conversion");
        return 0;
    }
    Check(source.empty() == destination.empty(), "empty result from a non-empty source or back");
    if (sourceEncoding == "UTF-8" || sourceEncoding == "CP65001")
    {
        // Valid UTF-8 decodes exactly, whatever the platform does with invalid input.
        const std::optional<std::wstring> decoded = TolvaneFuzz::DecodeUtf8(source);
        Check(!decoded || *decoded == destination, "valid UTF-8 decoded wrongly");
    }
    return 0;
}

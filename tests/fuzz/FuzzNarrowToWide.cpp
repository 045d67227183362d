// Fuzzes narrow-to-wide conversion: any bytes and encoding names.
#include "FuzzSupport.h"

using namespace TolvaneFuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string sourceEncoding = ConsumeNarrowEncodingName(input);
    const std::string destinationEncoding = ConsumeWideEncodingName(input);
    const std::string source = input.ConsumeRemainingBytesAsString();

    const std::wstring untouched(L"\x01untouched");
    std::wstring destination = untouched;
    if (!CheckedConversion("ConvertStringToWString", false, destinationEncoding, sourceEncoding,
                           source.empty(), [&] {
                               return Detail::ConvertStringToWString(
                                   source, destination, sourceEncoding, destinationEncoding);
                           }))
    {
        Check(destination == untouched, "output written by a failed conversion");
        return 0;
    }
    Check(source.empty() == destination.empty(), "empty result from a non-empty source or back");
    // Bad UTF-8 becomes U+FFFD; without one, the text must have been valid UTF-8, decoded exactly.
    Check(sourceEncoding != "UTF-8" || destination.find(L'\xFFFD') != std::wstring::npos ||
              EncodeUtf8(destination) == source,
          "UTF-8 decoded wrongly");
    return 0;
}

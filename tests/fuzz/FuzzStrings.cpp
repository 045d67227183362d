// Fuzzes both conversions with any text, encoding names, policies and default character, and the
// round trip of valid text through UTF-8 and UTF-7. The input's last byte picks which.
#include <Tolvane/Util/StringConversion.h>

#include <boost/lexical_cast.hpp>
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <iterator>
#include <new>
#include <stdexcept>

namespace {

using namespace Tolvane::Util::StringConversion;

// Names of every kind (the vocabulary, table, DBCS and UTF pages, pages the platform lacks), and
// now and then any text, so that the name checks get their share.
std::string ConsumeEncodingName(FuzzedDataProvider& input)
{
    static const char* const names[] = {"",       "ANSI",  "OEM",     "UTF-7",  "UTF-8",
                                        "CP1252", "CP932", "CP65000", "CP1200", "CP99999"};
    const std::size_t pick = input.ConsumeIntegralInRange<std::size_t>(0, std::size(names));
    return pick < std::size(names) ? std::string(names[pick]) : input.ConsumeRandomLengthString(12);
}

// The rest of the input as wide text in units of 1 to 4 bytes, so that ASCII, lone surrogates and
// values beyond U+10FFFF all occur; with `validOnly` every unit is a Unicode scalar value (the
// surrogates' range skipped).
std::wstring ConsumeWideText(FuzzedDataProvider& input, bool validOnly)
{
    const int width = input.ConsumeIntegralInRange(1, 4);
    const auto top = static_cast<std::uint32_t>(validOnly ? 0x10F7FF : (1ULL << (8 * width)) - 1);
    std::wstring text;
    while (input.remaining_bytes() > 0)
    {
        const auto unit = input.ConsumeIntegralInRange<std::uint32_t>(0, top);
        text.push_back(static_cast<wchar_t>(unit + (validOnly && unit >= 0xD800 ? 0x800 : 0)));
    }
    return text;
}

// Aborts, so that libFuzzer keeps the input, unless `holds`.
void Check(bool holds)
{
    if (!holds)
    {
        std::abort();
    }
}

} // namespace

// A failed or throwing conversion leaves its outputs alone; valid text comes back exactly.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const int driver = input.ConsumeIntegralInRange(0, 2); // to narrow, to wide, round trip
    const std::string name =
        driver == 2 ? (input.ConsumeBool() ? "UTF-7" : "UTF-8") : ConsumeEncodingName(input);
    // The two named values and, now and then, any other int (which must behave as 0).
    const auto policy = [&input] {
        const int value = input.ConsumeIntegral<int>();
        return (value & 0x700) == 0x700 ? value : (value & 1);
    };
    const auto bestFit = static_cast<BestFitMappingPolicy>(policy());
    const auto substitution = static_cast<CharacterSubstitutionPolicy>(policy());
    const char defaultChar = input.ConsumeIntegral<char>();
    const std::string bytes = driver == 1 ? input.ConsumeRemainingBytesAsString() : "";
    const std::wstring text = ConsumeWideText(input, driver == 2);
    std::string narrow = "\x01untouched";
    std::wstring wide = L"\x01untouched";
    bool used = true;
    bool converted = false;
    try
    {
        converted = driver == 1 ? Detail::ConvertStringToWString(bytes, wide, name, "")
                                : Detail::ConvertWStringToString(text, narrow, "", name, bestFit,
                                                                 substitution, defaultChar, used);
    }
    catch (const std::invalid_argument&)
    {
    }
    catch (const boost::bad_lexical_cast&)
    {
    }
    catch (const std::bad_alloc&)
    {
    }
    Check(converted || (narrow == "\x01untouched" && wide == L"\x01untouched" && used));
    Check(driver != 2 || (converted && !used &&
                          Detail::ConvertStringToWString(narrow, wide, name, "") && wide == text));
    return 0;
}

// Fuzzes both conversions with any text, encoding names, policies and default character, and the
// round trip of valid text through UTF-8 and UTF-7. The input's last byte picks which.
#include <Tolvane/Util/StringConversion.h>

#include <boost/lexical_cast.hpp>
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <new>
#include <stdexcept>

namespace {

using namespace Tolvane::Util::StringConversion;

// Aborts, so that libFuzzer keeps the input that broke `invariant`.
void Check(bool holds, const char* invariant)
{
    if (!holds)
    {
        std::fprintf(stderr, "invariant broken: %s\n", invariant);
        std::abort();
    }
}

// Mostly names that reach a converter (the vocabulary, code pages of every kind, pages the
// platform lacks), sometimes any text, so that the name checks get their share.
std::string ConsumeNarrowEncodingName(FuzzedDataProvider& input)
{
    static const char* const names[] = {
        "",        "ANSI",    "OEM",   "UTF-7",  "UTF-8",   "CP65000", "CP65001", "CP1252",
        "CP1255",  "CP437",   "CP874", "CP932",  "CP936",   "CP949",   "CP950",   "CP1361",
        "CP10001", "CP20932", "CP37",  "CP1200", "CP50220", "CP0",     "CP1",     "CP42"};
    const std::size_t pick = input.ConsumeIntegralInRange<std::size_t>(0, std::size(names));
    return pick < std::size(names) ? std::string(names[pick]) : input.ConsumeRandomLengthString(12);
}

// Mostly a wide-side name that passes, now and then one that must not.
std::string ConsumeWideEncodingName(FuzzedDataProvider& input)
{
    return input.ConsumeIntegralInRange(0, 7) == 0 ? "UTF-8" : "";
}

// The two named values and, now and then, any other int (which must behave as 0).
template <typename Policy>
Policy ConsumePolicy(FuzzedDataProvider& input)
{
    const int value = input.ConsumeIntegral<int>();
    return static_cast<Policy>((value & 0x700) == 0x700 ? value : (value & 1));
}

// The rest of the input as wide text, in one of several unit widths so that ASCII, BMP text with
// lone surrogates and values beyond U+10FFFF all occur. With `validOnly` every unit is a Unicode
// scalar value.
std::wstring ConsumeWideText(FuzzedDataProvider& input, bool validOnly)
{
    const int width = input.ConsumeIntegralInRange(1, 4);
    std::wstring text;
    while (input.remaining_bytes() > 0)
    {
        std::uint32_t unit = 0;
        for (int i = 0; i < width && input.remaining_bytes() > 0; ++i)
        {
            unit = (unit << 8) | input.ConsumeIntegral<std::uint8_t>();
        }
        if (validOnly)
        {
            unit %= 0x110000U;
            unit -= unit >= 0xD800U && unit <= 0xDFFFU ? 0x800U : 0;
        }
        text.push_back(static_cast<wchar_t>(unit));
    }
    return text;
}

// Runs a conversion and gives whether it converted. It may throw only what the encoding names
// call for (std::invalid_argument for a name it does not know, bad_lexical_cast for a "CP" name
// that is no number) and std::bad_alloc.
template <typename Convert>
bool Converted(const std::string& narrowName, Convert convert)
{
    try
    {
        return convert();
    }
    catch (const std::invalid_argument&)
    {
    }
    catch (const boost::bad_lexical_cast&)
    {
        Check(narrowName.compare(0, 2, "CP") == 0, "bad_lexical_cast without a CP name to parse");
    }
    catch (const std::bad_alloc&)
    {
    }
    return false;
}

// A failed call leaves the outputs alone; the used-default flag is reported only where a default
// character of the caller's was used.
void WideToNarrow(FuzzedDataProvider& input)
{
    const std::string wideName = ConsumeWideEncodingName(input);
    const std::string narrowName = ConsumeNarrowEncodingName(input);
    const auto bestFit = ConsumePolicy<BestFitMappingPolicy>(input);
    const auto substitution = ConsumePolicy<CharacterSubstitutionPolicy>(input);
    const char defaultChar = input.ConsumeIntegral<char>();
    const bool usedBefore = input.ConsumeBool();
    const std::wstring source = ConsumeWideText(input, false);
    std::string out = "\x01untouched";
    bool used = usedBefore;
    if (!Converted(narrowName, [&] {
            return Detail::ConvertWStringToString(source, out, wideName, narrowName, bestFit,
                                                  substitution, defaultChar, used);
        }))
    {
        Check(out == "\x01untouched" && used == usedBefore, "outputs written by a failure");
        return;
    }
    Check(wideName.empty(), "a wide-side name other than \"\" and UTF-16 passed");
    Check(source.empty() == out.empty(), "empty result from a non-empty source or back");
    const bool utf = narrowName == "UTF-7" || narrowName == "UTF-8" || narrowName == "CP65000" ||
                     narrowName == "CP65001";
    Check(!used || (!utf && substitution != UseSystemDefaultChar),
          "used-default reported on a UTF page or with the system's default");
}

// Bad UTF-8 becomes U+FFFD; without one, the text must have been valid UTF-8, decoded exactly.
void NarrowToWide(FuzzedDataProvider& input)
{
    const std::string narrowName = ConsumeNarrowEncodingName(input);
    const std::string wideName = ConsumeWideEncodingName(input);
    const std::string source = input.ConsumeRemainingBytesAsString();
    std::wstring out = L"\x01untouched";
    if (!Converted(narrowName, [&] {
            return Detail::ConvertStringToWString(source, out, narrowName, wideName);
        }))
    {
        Check(out == L"\x01untouched", "output written by a failed conversion");
        return;
    }
    Check(wideName.empty(), "a wide-side name other than \"\" and UTF-16 passed");
    Check(source.empty() == out.empty(), "empty result from a non-empty source or back");
    bool used = false;
    std::string back;
    Check(narrowName != "UTF-8" || out.find(L'\xFFFD') != std::wstring::npos ||
              (Detail::ConvertWStringToString(out, back, "", "UTF-8", AllowBestFitMapping,
                                              UseSpecifiedDefaultChar, '?', used) &&
               back == source),
          "UTF-8 decoded wrongly");
}

// Valid text comes back exactly, and UTF-7 stays within seven bits.
void RoundTrip(FuzzedDataProvider& input)
{
    static const char* const utfNames[] = {"UTF-8", "CP65001", "UTF-7", "CP65000"};
    const std::size_t pick = input.ConsumeIntegralInRange<std::size_t>(0, 3);
    // Ignored on UTF pages, so any choice must do.
    const auto bestFit = ConsumePolicy<BestFitMappingPolicy>(input);
    const auto substitution = ConsumePolicy<CharacterSubstitutionPolicy>(input);
    const char defaultChar = input.ConsumeIntegral<char>();
    const std::wstring text = ConsumeWideText(input, true);
    std::string narrow;
    bool used = true;
    Check(Detail::ConvertWStringToString(text, narrow, "", utfNames[pick], bestFit, substitution,
                                         defaultChar, used) &&
              !used && text.empty() == narrow.empty(),
          "valid text did not convert to a UTF page, or reported a default character");
    Check(pick < 2 || std::none_of(narrow.begin(), narrow.end(), [](char c) { return c & 0x80; }),
          "UTF-7 beyond seven bits");
    std::wstring back;
    Check(Detail::ConvertStringToWString(narrow, back, utfNames[pick], "UTF-16") && back == text,
          "text changed on the round trip");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    void (*const drivers[])(FuzzedDataProvider&) = {WideToNarrow, NarrowToWide, RoundTrip};
    drivers[input.ConsumeIntegralInRange(0, 2)](input);
    return 0;
}

// Pieces shared by the fuzz targets: reading names, policies and texts from the fuzzer's input,
// judging what a conversion throws, a UTF-8 encoder of its own, and stopping loudly when an
// invariant breaks.
#pragma once

#include <Tolvane/Util/StringConversion.h>

#include <boost/lexical_cast.hpp>
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <new>
#include <stdexcept>
#include <string>

namespace TolvaneFuzz {

using namespace Tolvane::Util::StringConversion;

// Aborts, so that libFuzzer keeps the input that broke `invariant`.
inline void Check(bool holds, const char* invariant)
{
    if (!holds)
    {
        std::fprintf(stderr, "invariant broken: %s\n", invariant);
        std::abort();
    }
}

// Mostly names that reach a converter (the vocabulary, code pages of every kind, pages the
// platform lacks), sometimes any text, so that the name checks get their share.
inline std::string ConsumeNarrowEncodingName(FuzzedDataProvider& input)
{
    static const char* const names[] = {
        "",        "ANSI",    "OEM",   "UTF-7",  "UTF-8",   "CP65000", "CP65001", "CP1252",
        "CP1255",  "CP437",   "CP874", "CP932",  "CP936",   "CP949",   "CP950",   "CP1361",
        "CP10001", "CP20932", "CP37",  "CP1200", "CP50220", "CP0",     "CP1",     "CP42"};
    const std::size_t pick = input.ConsumeIntegralInRange<std::size_t>(0, std::size(names));
    return pick < std::size(names) ? std::string(names[pick]) : input.ConsumeRandomLengthString(12);
}

inline std::string ConsumeWideEncodingName(FuzzedDataProvider& input)
{
    const int pick = input.ConsumeIntegralInRange(0, 7);
    return pick == 0 ? input.ConsumeRandomLengthString(8) : pick < 4 ? "UTF-16" : "";
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
inline std::wstring ConsumeWideText(FuzzedDataProvider& input, bool validOnly)
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

// The standard UTF-8 form of valid wide text.
inline std::string EncodeUtf8(const std::wstring& text)
{
    std::string bytes;
    for (const wchar_t unit : text)
    {
        const auto value = static_cast<std::uint32_t>(unit);
        const int length = value < 0x80U ? 1 : value < 0x800U ? 2 : value < 0x10000U ? 3 : 4;
        const std::uint32_t leadMarks[] = {0, 0, 0xC0, 0xE0, 0xF0};
        bytes.push_back(static_cast<char>(leadMarks[length] | (value >> (6 * (length - 1)))));
        for (int k = length - 2; k >= 0; --k)
        {
            bytes.push_back(static_cast<char>(0x80U | ((value >> (6 * k)) & 0x3FU)));
        }
    }
    return bytes;
}

// Runs `convert`, a call of `function` with `wideName` and `narrowName` as the encoding names of
// its two sides, and checks that what it throws is what the names and the source call for: the
// wide-side name is judged first, on every call; the narrow-side name only for a non-empty
// source. Gives the conversion's result, false when it threw.
template <typename Convert>
bool CheckedConversion(const std::string& function, bool wideIsSource, const std::string& wideName,
                       const std::string& narrowName, bool emptySource, Convert convert)
{
    const bool badWide = !wideName.empty() && wideName != "UTF-16";
    try
    {
        const bool converted = convert();
        Check(!badWide, "a wide-side name other than \"\" and UTF-16 passed");
        return converted;
    }
    catch (const std::invalid_argument& e)
    {
        const char* const side = badWide == wideIsSource ? "source" : "destination";
        Check(e.what() == function + ": invalid " + side + " encoding.",
              "invalid_argument names the wrong side");
        Check(badWide || !emptySource, "an empty source looked at the narrow-side name");
    }
    catch (const boost::bad_lexical_cast&)
    {
        Check(!badWide && !emptySource && narrowName.compare(0, 2, "CP") == 0,
              "bad_lexical_cast without a CP name to parse");
    }
    catch (const std::bad_alloc&)
    {
    }
    return false;
}

} // namespace TolvaneFuzz

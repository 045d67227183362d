// Pieces shared by the fuzz targets: reading names, policies and texts from the fuzzer's input,
// an independent UTF-8 codec, and stopping loudly when an invariant breaks.
#pragma once

#include <Tolvane/Util/StringConversion.h>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <string>

namespace TolvaneFuzz {

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
        "",        "ANSI",   "OEM",    "UTF-7",   "UTF-8",   "CP65000", "CP65001",
        "CP1252",  "CP1251", "CP1255", "CP437",   "CP850",   "CP874",   "CP932",
        "CP936",   "CP949",  "CP950",  "CP1361",  "CP10001", "CP20127", "CP20932",
        "CP28591", "CP37",   "CP1200", "CP50220", "CP0",     "CP1",     "CP42"};
    const std::size_t pick = input.ConsumeIntegralInRange<std::size_t>(0, std::size(names));
    return pick < std::size(names) ? std::string(names[pick]) : input.ConsumeRandomLengthString(12);
}

inline std::string ConsumeWideEncodingName(FuzzedDataProvider& input)
{
    switch (input.ConsumeIntegralInRange(0, 7))
    {
    case 0:
        return input.ConsumeRandomLengthString(8);
    case 1:
    case 2:
    case 3:
        return "UTF-16";
    default:
        return "";
    }
}

inline bool IsUtfName(const std::string& name)
{
    return name == "UTF-7" || name == "UTF-8" || name == "CP65000" || name == "CP65001";
}

// The two named values and, now and then, any other int (which must behave as 0).
inline int ConsumePolicyValue(FuzzedDataProvider& input)
{
    const int value = input.ConsumeIntegral<int>();
    return (value & 0x700) == 0x700 ? value : (value & 1);
}

inline Tolvane::Util::StringConversion::BestFitMappingPolicy
ConsumeBestFitPolicy(FuzzedDataProvider& input)
{
    return static_cast<Tolvane::Util::StringConversion::BestFitMappingPolicy>(
        ConsumePolicyValue(input));
}

inline Tolvane::Util::StringConversion::CharacterSubstitutionPolicy
ConsumeSubstitutionPolicy(FuzzedDataProvider& input)
{
    return static_cast<Tolvane::Util::StringConversion::CharacterSubstitutionPolicy>(
        ConsumePolicyValue(input));
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
            if (unit >= 0xD800U && unit <= 0xDFFFU)
            {
                unit -= 0x800U;
            }
        }
        text.push_back(static_cast<wchar_t>(unit));
    }
    return text;
}

// Strict UTF-8 decoding (shortest form, no surrogates, nothing above U+10FFFF); no value for
// anything else.
inline std::optional<std::wstring> DecodeUtf8(const std::string& bytes)
{
    std::wstring text;
    for (std::size_t i = 0; i < bytes.size();)
    {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = lead < 0x80   ? 1
                                   : lead < 0xC2 ? 0
                                   : lead < 0xE0 ? 2
                                   : lead < 0xF0 ? 3
                                   : lead < 0xF5 ? 4
                                                 : 0;
        if (length == 0 || i + length > bytes.size())
        {
            return std::nullopt;
        }
        std::uint32_t value = length == 1 ? lead : lead & (0x7FU >> length);
        for (std::size_t k = 1; k < length; ++k)
        {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0U) != 0x80U)
            {
                return std::nullopt;
            }
            value = (value << 6) | (next & 0x3FU);
        }
        const std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (value < smallest[length] || value > 0x10FFFFU || (value >= 0xD800U && value <= 0xDFFFU))
        {
            return std::nullopt;
        }
        text.push_back(static_cast<wchar_t>(value));
        i += length;
    }
    return text;
}

// UTF-8 of valid wide text.
inline std::string EncodeUtf8(const std::wstring& text)
{
    std::string bytes;
    for (const wchar_t unit : text)
    {
        const auto value = static_cast<std::uint32_t>(unit);
        if (value < 0x80U)
        {
            bytes.push_back(static_cast<char>(value));
            continue;
        }
        const int length = value < 0x800U ? 2 : value < 0x10000U ? 3 : 4;
        const std::uint32_t leadMarks[] = {0, 0, 0xC0, 0xE0, 0xF0};
        bytes.push_back(static_cast<char>(leadMarks[length] | (value >> (6 * (length - 1)))));
        for (int k = length - 2; k >= 0; --k)
        {
            bytes.push_back(static_cast<char>(0x80U | ((value >> (6 * k)) & 0x3FU)));
        }
    }
    return bytes;
}

} // namespace TolvaneFuzz

// The differential test's calls, made through the OS seam so that either backend answers them.
#include "differential/CodePageCases.h"

#include "WindowsCodePages.h"
#include "os/CodePages.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <vector>

namespace Tolvane::Util::Differential {

namespace {

constexpr std::uint32_t BestFitFlags = Os::WcCompositeCheck | Os::WcSepChars;
constexpr std::uint32_t NoBestFitFlags = BestFitFlags | Os::WcNoBestFitChars;
constexpr std::size_t BmpSize = 0x10000;
constexpr std::size_t ByteCount = 0x100;
constexpr char32_t FirstMark = 0x300;
constexpr std::size_t MarkCount = 0x70; // U+0300..U+036F, the combining diacritics
constexpr unsigned char LongFirstLead = 0xE0;
constexpr std::size_t LongLeadCount = 0xF5 - 0xE0;
constexpr unsigned char LongTrailFirst = 0x7F; // a trail byte range with one byte either side
constexpr std::size_t LongTrailCount = 0xC1 - 0x7F;
constexpr unsigned char FailedRecord = 0xFF;

// Letters that precomposed forms exist for, in three scripts.
constexpr char16_t CompositeBases[] =
    u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
    u"\x391\x395\x397\x399\x39F\x3A5\x3A9\x3B1\x3B5\x3B7\x3B9\x3BF"
    u"\x3C5\x3C9\x406\x415\x418\x423\x435\x438\x443\x456";
constexpr std::size_t CompositeBaseCount = std::size(CompositeBases) - 1; // less the NUL

using CodePageData::DoubleBytePages;

// Every page with a table, then UTF-7 and UTF-8.
std::vector<std::uint32_t> CodePages()
{
    std::vector<std::uint32_t> pages(std::begin(CodePageData::TableCodePages),
                                     std::end(CodePageData::TableCodePages));
    pages.push_back(Os::CodePageUtf7);
    pages.push_back(Os::CodePageUtf8);
    return pages;
}

bool IsUtf(std::uint32_t codePage)
{
    return codePage == Os::CodePageUtf7 || codePage == Os::CodePageUtf8;
}

bool TakesPairs(std::uint32_t codePage)
{
    return IsUtf(codePage) || std::find(std::begin(DoubleBytePages), std::end(DoubleBytePages),
                                        codePage) != std::end(DoubleBytePages);
}

void AppendFailure(std::string& records)
{
    records.push_back(static_cast<char>(FailedRecord));
}

bool AppendWide(const CaseSet& set, const wchar_t* source, std::int32_t length,
                std::string& records)
{
    const bool passDefault = set.kind == CaseKind::WideBestFit ||
                             set.kind == CaseKind::WideNoBestFit ||
                             set.kind == CaseKind::WideComposite;
    const std::uint32_t flags = set.kind == CaseKind::WideNoBestFit ? NoBestFitFlags
                                : set.kind == CaseKind::WideUtf     ? 0
                                                                    : BestFitFlags;
    const char defaultChar[] = {DefaultChar, '\0'};
    std::int32_t used = 0;
    const char* defaultArgument = passDefault ? defaultChar : nullptr;
    std::int32_t* usedArgument = passDefault ? &used : nullptr;

    const std::int32_t needed = Os::WideCharToMultiByte(set.codePage, flags, source, length,
                                                        nullptr, 0, defaultArgument, usedArgument);
    char buffer[32];
    used = 0;
    const std::int32_t written = Os::WideCharToMultiByte(
        set.codePage, flags, source, length, buffer, static_cast<std::int32_t>(sizeof buffer),
        defaultArgument, usedArgument);
    if (written <= 0)
    {
        AppendFailure(records);
        return needed <= 0;
    }
    const auto size = static_cast<std::size_t>(written);
    records.push_back(static_cast<char>(size + (passDefault ? 1 : 0)));
    if (passDefault)
    {
        records.push_back(used != 0 ? '\1' : '\0');
    }
    records.append(buffer, size);
    return needed == written;
}

bool IsNarrow(CaseKind kind)
{
    return kind == CaseKind::Narrow || kind == CaseKind::NarrowUtf8Long;
}

// The UTF-16 units of wide-to-narrow call `index`: a BMP unit, or a base letter and a mark.
std::wstring WideSource(const CaseSet& set, std::size_t index)
{
    if (set.kind == CaseKind::WideComposite)
    {
        return {static_cast<wchar_t>(CompositeBases[index / MarkCount]),
                static_cast<wchar_t>(FirstMark + index % MarkCount)};
    }
    return std::wstring(1, static_cast<wchar_t>(index));
}

// The bytes of narrow-to-wide call `index`: a byte, a byte pair, or a long UTF-8 sequence.
std::string NarrowSource(const CaseSet& set, std::size_t index)
{
    if (set.kind == CaseKind::NarrowUtf8Long)
    {
        const auto lead =
            static_cast<unsigned char>(LongFirstLead + index / (LongTrailCount * LongTrailCount));
        std::string source = {
            static_cast<char>(lead),
            static_cast<char>(LongTrailFirst + index / LongTrailCount % LongTrailCount),
            static_cast<char>(LongTrailFirst + index % LongTrailCount)};
        if (lead >= 0xF0)
        {
            source.push_back('\x80');
        }
        return source;
    }
    if (index < ByteCount)
    {
        return std::string(1, static_cast<char>(index));
    }
    const std::size_t pair = index - ByteCount;
    return {static_cast<char>(pair >> 8), static_cast<char>(pair & 0xFF)};
}

void AppendUtf16(std::uint32_t unit, std::string& units)
{
    units.push_back(static_cast<char>(unit & 0xFF));
    units.push_back(static_cast<char>(unit >> 8));
}

bool AppendNarrow(const CaseSet& set, const char* source, std::int32_t length, std::string& records)
{
    const std::uint32_t flags = IsUtf(set.codePage) ? 0 : Os::MbPrecomposed;
    const std::int32_t needed =
        Os::MultiByteToWideChar(set.codePage, flags, source, length, nullptr, 0);
    wchar_t buffer[16];
    const std::int32_t written = Os::MultiByteToWideChar(
        set.codePage, flags, source, length, buffer, static_cast<std::int32_t>(std::size(buffer)));
    if (written <= 0)
    {
        AppendFailure(records);
        return needed <= 0;
    }
    std::string units;
    for (std::int32_t i = 0; i < written; ++i)
    {
        const auto c = static_cast<std::uint32_t>(buffer[i]);
        if (c > 0xFFFF)
        {
            AppendUtf16(0xD7C0 + (c >> 10), units);
            AppendUtf16(0xDC00 | (c & 0x3FF), units);
        }
        else
        {
            AppendUtf16(c, units);
        }
    }
    records.push_back(static_cast<char>(units.size()));
    records += units;
    return needed == written;
}

} // namespace

std::vector<CaseSet> AllCaseSets()
{
    std::vector<CaseSet> sets;
    for (const std::uint32_t codePage : CodePages())
    {
        if (IsUtf(codePage))
        {
            sets.push_back({codePage, CaseKind::WideUtf});
        }
        else
        {
            sets.push_back({codePage, CaseKind::WideBestFit});
            sets.push_back({codePage, CaseKind::WideNoBestFit});
            sets.push_back({codePage, CaseKind::WideSystemDefault});
            sets.push_back({codePage, CaseKind::WideComposite});
        }
        sets.push_back({codePage, CaseKind::Narrow});
        if (codePage == Os::CodePageUtf8)
        {
            sets.push_back({codePage, CaseKind::NarrowUtf8Long});
        }
    }
    return sets;
}

std::string CaseSetName(const CaseSet& set)
{
    // In the order of CaseKind.
    static const char* const kinds[] = {"wc-0x220",         "wc-0x620", "wc-0x220-system-default",
                                        "wc-0x220-compose", "wc-0",     "mb",
                                        "mb-long"};
    return std::to_string(set.codePage) + "." + kinds[static_cast<std::size_t>(set.kind)];
}

const char* DirectionName(CaseKind kind)
{
    return IsNarrow(kind) ? "narrow-to-wide" : "wide-to-narrow";
}

std::size_t CaseCount(const CaseSet& set)
{
    switch (set.kind)
    {
    case CaseKind::WideComposite:
        return CompositeBaseCount * MarkCount;
    case CaseKind::Narrow:
        return ByteCount + (TakesPairs(set.codePage) ? ByteCount * ByteCount : 0);
    case CaseKind::NarrowUtf8Long:
        return LongLeadCount * LongTrailCount * LongTrailCount;
    default:
        return BmpSize;
    }
}

std::string DescribeCase(const CaseSet& set, std::size_t index)
{
    const bool narrow = IsNarrow(set.kind);
    std::string text = narrow ? "bytes" : "";
    char part[16];
    if (narrow)
    {
        for (const char byte : NarrowSource(set, index))
        {
            std::snprintf(part, sizeof part, " %02X",
                          static_cast<unsigned>(static_cast<unsigned char>(byte)));
            text += part;
        }
        return text;
    }
    for (const wchar_t unit : WideSource(set, index))
    {
        std::snprintf(part, sizeof part, text.empty() ? "U+%04X" : " U+%04X",
                      static_cast<unsigned>(unit));
        text += part;
    }
    return text;
}

bool AppendRecord(const CaseSet& set, std::size_t index, std::string& records)
{
    if (IsNarrow(set.kind))
    {
        const std::string source = NarrowSource(set, index);
        return AppendNarrow(set, source.data(), static_cast<std::int32_t>(source.size()), records);
    }
    const std::wstring source = WideSource(set, index);
    return AppendWide(set, source.data(), static_cast<std::int32_t>(source.size()), records);
}

} // namespace Tolvane::Util::Differential

// The cases of the code-page differential test: which calls are made and how each answer is
// recorded. The program that records Windows' answers and the one that compares this platform's
// with them share it, so both make the same calls in the same order and record them alike.
#pragma once

#include "WindowsCodePages.h"
#include "os/CodePages.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace Tolvane::Util::Differential {

// In the order of a page's case sets; KindNames gives their file names.
enum class CaseKind
{
    WideBestFit,       // every BMP unit alone, flags 0x220, default character, used-default flag
    WideNoBestFit,     // the same with 0x620
    WideSystemDefault, // every BMP unit alone, flags 0x220, no default-character arguments
    WideComposite,     // base letter + combining mark pairs, flags 0x220, default character
    WideUtf,           // every BMP unit alone, flags 0, no default-character arguments
    Narrow,            // every byte, then (DBCS and UTF pages) every byte pair
    NarrowUtf8Long     // three- and four-byte sequences with a UTF-8 lead byte
};
constexpr const char* KindNames[] = {
    "wc-0x220", "wc-0x620", "wc-0x220-system-default", "wc-0x220-compose", "wc-0", "mb", "mb-long"};

struct CaseSet
{
    std::uint32_t codePage;
    CaseKind kind;
};

// Not '?', so that a substitution can be told from a best fit that lands on a question mark.
constexpr char DefaultChar[] = "~";
constexpr std::size_t MarkCount = 0x70; // U+0300..U+036F, the combining diacritics
// Letters that precomposed forms exist for, in three scripts.
constexpr char16_t CompositeBases[] =
    u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
    u"\x391\x395\x397\x399\x39F\x3A5\x3A9\x3B1\x3B5\x3B7\x3B9\x3BF"
    u"\x3C5\x3C9\x406\x415\x418\x423\x435\x438\x443\x456";
// Long UTF-8: each lead byte E0-F4, then trail bytes 7F-C0 (the trail range and one either side).
constexpr std::size_t LongLeads = 0xF5 - 0xE0;
constexpr std::size_t LongTrails = 0xC1 - 0x7F;

inline bool IsUtf(std::uint32_t page)
{
    return page == Os::CodePageUtf7 || page == Os::CodePageUtf8;
}

// Every table page's sets, then UTF-7's and UTF-8's.
inline std::vector<CaseSet> AllCaseSets()
{
    std::vector<std::uint32_t> pages(std::begin(CodePageData::TableCodePages),
                                     std::end(CodePageData::TableCodePages));
    pages.insert(pages.end(), {Os::CodePageUtf7, Os::CodePageUtf8});
    using K = CaseKind;
    std::vector<CaseSet> sets;
    for (const std::uint32_t page : pages)
    {
        const auto kinds =
            page == Os::CodePageUtf8 ? std::vector<K>{K::WideUtf, K::Narrow, K::NarrowUtf8Long}
            : IsUtf(page)            ? std::vector<K>{K::WideUtf, K::Narrow}
                          : std::vector<K>{K::WideBestFit, K::WideNoBestFit, K::WideSystemDefault,
                                           K::WideComposite, K::Narrow};
        for (const K kind : kinds)
        {
            sets.push_back({page, kind});
        }
    }
    return sets;
}

inline std::string CaseSetName(const CaseSet& set)
{
    return std::to_string(set.codePage) + "." + KindNames[static_cast<int>(set.kind)];
}

inline std::size_t CaseCount(const CaseSet& set)
{
    using CodePageData::DoubleBytePages;
    const bool pairs = IsUtf(set.codePage) || std::count(std::begin(DoubleBytePages),
                                                         std::end(DoubleBytePages), set.codePage);
    switch (set.kind)
    {
    case CaseKind::WideComposite:
        return (std::size(CompositeBases) - 1) * MarkCount;
    case CaseKind::Narrow:
        return 0x100 + (pairs ? 0x10000 : 0);
    case CaseKind::NarrowUtf8Long:
        return LongLeads * LongTrails * LongTrails;
    default:
        return 0x10000;
    }
}

// The input of call `index`: UTF-16 units or bytes.
inline std::u32string CaseInput(const CaseSet& set, std::size_t index)
{
    switch (set.kind)
    {
    case CaseKind::WideComposite:
        return {CompositeBases[index / MarkCount],
                static_cast<char32_t>(0x300 + index % MarkCount)};
    case CaseKind::NarrowUtf8Long:
    {
        std::u32string bytes = {static_cast<char32_t>(0xE0 + index / (LongTrails * LongTrails)),
                                static_cast<char32_t>(0x7F + index / LongTrails % LongTrails),
                                static_cast<char32_t>(0x7F + index % LongTrails)};
        return bytes[0] >= 0xF0 ? bytes + U'\x80' : bytes;
    }
    default:
        if (set.kind == CaseKind::Narrow && index >= 0x100)
        {
            return {static_cast<char32_t>((index - 0x100) >> 8),
                    static_cast<char32_t>(index & 0xFF)};
        }
        return {static_cast<char32_t>(index)};
    }
}

// Makes call `index` of `set` through the OS seam, sizing (null buffer) and converting, and
// appends its record to `records`: a length byte and that many bytes, or the byte FF alone for
// a failed call. A wide-to-narrow record holds the used-default flag (when passed) and the bytes
// written; a narrow-to-wide record the UTF-16 units written, little-endian whatever wchar_t is.
// Returns false when the sizing call disagreed with the converting one.
inline bool AppendRecord(const CaseSet& set, std::size_t index, std::string& records)
{
    const std::u32string input = CaseInput(set, index);
    const auto length = static_cast<std::int32_t>(input.size());
    std::int32_t needed = 0;
    std::int32_t written = 0;
    std::string record;
    if (set.kind >= CaseKind::Narrow)
    {
        const std::string bytes(input.begin(), input.end());
        const std::uint32_t flags = IsUtf(set.codePage) ? 0 : Os::MbPrecomposed;
        wchar_t units[16];
        needed = Os::MultiByteToWideChar(set.codePage, flags, bytes.data(), length, nullptr, 0);
        written = Os::MultiByteToWideChar(set.codePage, flags, bytes.data(), length, units, 16);
        for (std::int32_t i = 0; i < written; ++i)
        {
            const auto c = static_cast<std::uint32_t>(units[i]);
            const std::uint32_t utf16[] = {c > 0xFFFF ? 0xD7C0 + (c >> 10) : c,
                                           0xDC00 | (c & 0x3FF)};
            for (int k = 0; k < (c > 0xFFFF ? 2 : 1); ++k)
            {
                record += {static_cast<char>(utf16[k] & 0xFF), static_cast<char>(utf16[k] >> 8)};
            }
        }
    }
    else
    {
        const std::wstring text(input.begin(), input.end());
        const bool passDefault =
            set.kind != CaseKind::WideSystemDefault && set.kind != CaseKind::WideUtf;
        const std::uint32_t bestFit = Os::WcCompositeCheck | Os::WcSepChars;
        const std::uint32_t flags = set.kind == CaseKind::WideUtf ? 0
                                    : set.kind == CaseKind::WideNoBestFit
                                        ? bestFit | Os::WcNoBestFitChars
                                        : bestFit;
        std::int32_t used = 0;
        char bytes[32];
        const auto call = [&](char* buffer, std::int32_t size) {
            used = 0;
            return Os::WideCharToMultiByte(set.codePage, flags, text.data(), length, buffer, size,
                                           passDefault ? DefaultChar : nullptr,
                                           passDefault ? &used : nullptr);
        };
        needed = call(nullptr, 0);
        written = call(bytes, 32);
        record = passDefault ? std::string(1, used != 0 ? '\1' : '\0') : std::string();
        record.append(bytes, static_cast<std::size_t>(std::max(written, 0)));
    }
    if (written <= 0)
    {
        records.push_back('\xFF');
        return needed <= 0;
    }
    records.push_back(static_cast<char>(record.size()));
    records += record;
    return needed == written;
}

} // namespace Tolvane::Util::Differential

// The POSIX code-page calls: Windows' call contract, and what the per-unit comparison misses.
// (Longer texts and the ASCII fast path, '?' as the default character, flags the comparison
// never passes.)
#include "os/CodePages.h"

#include "support/AllocationCounter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

namespace {

using namespace Tolvane::Util::Os;
using Tolvane::Testing::AllocationScope;

constexpr std::uint32_t BestFit = WcCompositeCheck | WcSepChars; // 0x220
constexpr std::uint32_t NoBestFit = BestFit | WcNoBestFitChars;  // 0x620
constexpr std::uint32_t MbErrInvalidChars = 0x08;
constexpr std::uint32_t WcErrInvalidChars = 0x80;

struct Narrow
{
    std::string bytes;
    int used; // -1: not asked for
};

// Converts with a sizing call first, as the library does.
Narrow ToNarrow(std::uint32_t codePage, std::uint32_t flags, const std::wstring& text,
                const char* defaultChar = nullptr, bool askUsed = false)
{
    std::int32_t used = -1;
    std::int32_t* const usedArgument = askUsed ? &used : nullptr;
    const auto length = static_cast<std::int32_t>(text.size());
    const std::int32_t sized = WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0,
                                                   defaultChar, usedArgument);
    EXPECT_GT(sized, 0);
    std::string bytes(static_cast<std::size_t>(std::max(sized, 0)), '\xEE');
    used = -1;
    const std::int32_t written = WideCharToMultiByte(
        codePage, flags, text.data(), length, bytes.data(), sized, defaultChar, usedArgument);
    EXPECT_EQ(written, sized) << "the sizing call disagrees with the conversion";
    bytes.resize(static_cast<std::size_t>(std::max(written, 0)));
    return {bytes, used};
}

std::optional<std::wstring> ToWide(std::uint32_t codePage, std::uint32_t flags,
                                   const std::string& bytes)
{
    const auto length = static_cast<std::int32_t>(bytes.size());
    const std::int32_t sized =
        MultiByteToWideChar(codePage, flags, bytes.data(), length, nullptr, 0);
    if (sized <= 0)
    {
        return std::nullopt;
    }
    std::wstring text(static_cast<std::size_t>(sized), L'\xEEEE');
    const std::int32_t written =
        MultiByteToWideChar(codePage, flags, bytes.data(), length, text.data(), sized);
    EXPECT_EQ(written, sized) << "the sizing call disagrees with the conversion";
    text.resize(static_cast<std::size_t>(std::max(written, 0)));
    return text;
}

std::wstring Wide(std::initializer_list<char32_t> codePoints)
{
    std::wstring text;
    for (const char32_t c : codePoints)
    {
        text.push_back(static_cast<wchar_t>(c));
    }
    return text;
}

TEST(WideToNarrow, GivesWindowsBytesAndUsedDefault)
{
    const struct
    {
        const char* what;
        std::uint32_t codePage;
        std::uint32_t flags;
        std::wstring text;
        const char* defaultChar; // null: the page's own, and no used-default flag
        std::string bytes;
        int used;
    } cases[] = {
        {"exact and the caller's default", 1252, NoBestFit, L"\xFC\x20AC\x100", "~", "\xFC\x80~",
         1},
        {"system default on EBCDIC is 0x6F", 37, NoBestFit, L"\x4E00", nullptr, "\x6F", -1},
        {"'?' as default, '?' in the text", 1252, BestFit, L"a?b", "?", "a?b", 0},
        {"'?' as default: substitution", 1252, NoBestFit, L"?\x4E00", "?", "??", 1},
        {"'?' as default: best fit to '?'", 1252, BestFit, L"?\xFF1F?", "?", "???", 1},
        {"one default per UTF-16 unit", 1252, NoBestFit, Wide({'a', 0x1F600, 'b'}), "~", "a~~b", 1},
        {"not a code point", 1252, NoBestFit, Wide({0x110000}), "~", "~", 1},
        {"composite check without best fit", 1252, NoBestFit, L"e\x301", "~", "\xE9", 0},
        {"no composite check, no composing", 1252, WcNoBestFitChars, L"e\x301", "~", "e~", 1},
        {"only adjacent pairs compose", 1252, NoBestFit, L"e\x301\x301", "~", "\xE9~", 1},
        {"embedded NUL", 932, NoBestFit, std::wstring(L"\x65E5\0b", 3), "~",
         std::string("\x93\xFA\0b", 4), 0}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        const Narrow result = ToNarrow(c.codePage, c.flags, c.text, c.defaultChar, c.used >= 0);
        EXPECT_EQ(result.bytes, c.bytes);
        EXPECT_EQ(result.used, c.used);
    }
}

TEST(NarrowToWide, GivesWindowsTextForLongerInput)
{
    const struct
    {
        std::uint32_t codePage;
        std::string bytes;
        std::optional<std::wstring> text;              // none: the call fails
    } cases[] = {{936, "\x81\x01z", Wide({'?', 'z'})}, // a lead byte takes any trail along
                 {1251, std::string("\0\xCF", 2), Wide({0, 0x41F})},
                 {CodePageUtf8, "x\xE2\x41", Wide({'x', 0xFFFD})},
                 {CodePageUtf7, "A+ImIDkQ.", Wide({'A', 0x2262, 0x391, '.'})},
                 {CodePageUtf7, "1+-1", Wide({'1', '+', '1'})},
                 {CodePageUtf7, "+2D3eAA-", Wide({0x1F600})}, // a pair is one code point
                 {CodePageUtf7, "+2D0-", Wide({0xD83D})},     // a lone surrogate passes
                 {CodePageUtf7, "+AGE.", Wide({'a', '.'})},   // unfinished bits are dropped
                 {CodePageUtf7,
                  "+AG\x80"
                  "E-",
                  Wide({0x80, 'E', '-'})}, // an 8-bit byte keeps them
                 {CodePageUtf7, "+N", std::nullopt}};
    for (const auto& c : cases)
    {
        const bool utf = c.codePage == CodePageUtf7 || c.codePage == CodePageUtf8;
        EXPECT_EQ(ToWide(c.codePage, utf ? 0 : MbPrecomposed, c.bytes), c.text)
            << c.codePage << ": " << c.bytes;
    }
}

TEST(Utf7, WritesAsWindowsWritesAndReadsBack)
{
    const struct
    {
        std::wstring text;
        std::string bytes;
    } cases[] = {{L"Hi Mom -:-)", "Hi Mom -:-)"},
                 {L"a+b", "a+-b"},
                 {L"~\\", "+AH4AXA-"},
                 {L"A\x2262\x391.", "A+ImIDkQ-."},
                 {Wide({0x1F600}), "+2D3eAA-"},
                 {L"\x65E5\x672C\x8A9E", "+ZeVnLIqe-"}};
    for (const auto& c : cases)
    {
        EXPECT_EQ(ToNarrow(CodePageUtf7, 0, c.text).bytes, c.bytes);
        EXPECT_EQ(ToWide(CodePageUtf7, 0, c.bytes), c.text) << c.bytes;
    }
}

TEST(Contract, MisusedCallsGiveZero)
{
    const wchar_t lone[] = {L'a', static_cast<wchar_t>(0xDC00), 0};
    const struct
    {
        std::uint32_t codePage;
        std::uint32_t flags;
        const wchar_t* text;
        std::int32_t length;
        std::int32_t size; // of the buffer; -2: no buffer
        const char* defaultChar;
        bool used;
    } wideCalls[] = {
        // Buffers too small, lengths and buffers missing.
        {1252, BestFit, L"abc", 3, 2, nullptr, false},
        {CodePageUtf8, 0, L"abc", 3, 2, nullptr, false},
        {CodePageUtf7, 0, L"\x4E00", 1, 2, nullptr, false},
        {1252, BestFit, L"abc", 0, 8, nullptr, false},
        {1252, BestFit, L"abc", -2, 8, nullptr, false},
        {1252, BestFit, L"abc", 3, -2, nullptr, false},
        {1252, BestFit, L"abc", 3, -1, nullptr, false},
        // The UTF pages and the ANSI/OEM aliases refuse best-fit flags and default characters.
        {CodePageUtf8, BestFit, L"a", 1, 8, nullptr, false},
        {CodePageUtf8, 0, L"a", 1, 8, "?", false},
        {CodePageUtf8, 0, L"a", 1, 8, nullptr, true},
        {CodePageUtf7, NoBestFit, L"a", 1, 8, nullptr, false},
        {CodePageUtf7, 0, L"a", 1, 8, "?", true},
        {CodePageAnsi, BestFit, L"a", 1, 8, nullptr, false},
        {CodePageOem, 0, L"a", 1, 8, "?", false},
        // Ill-formed input with the error flag.
        {CodePageUtf8, WcErrInvalidChars, lone, 2, 8, nullptr, false}};
    const struct
    {
        std::uint32_t codePage;
        std::uint32_t flags;
        const char* bytes;
        std::int32_t length;
        std::int32_t size; // of the buffer; -2: no buffer
    } narrowCalls[] = {{1252, MbPrecomposed, "abc", 3, 2},
                       {CodePageUtf8, 0, "abc", 3, 2},
                       {CodePageUtf7, 0, "abc", 3, 2},
                       {1252, MbPrecomposed, "abc", 0, 2},
                       {1252, MbPrecomposed, "abc", -1, 2},
                       {1252, MbPrecomposed, "abc", 3, -2},
                       {CodePageUtf8, MbPrecomposed, "a", 1, 8},
                       {CodePageUtf7, MbPrecomposed, "a", 1, 8},
                       {CodePageUtf8, MbErrInvalidChars, "a\xFF", 2, 8},
                       {CodePageUtf8, MbErrInvalidChars, "a\xFF", 2, 0},
                       {CodePageUtf7, MbErrInvalidChars, "a", 1, 8}}; // UTF-7 takes no flag
    char bytes[8];
    wchar_t units[8];
    std::int32_t used = 0;
    for (const auto& c : wideCalls)
    {
        EXPECT_EQ(WideCharToMultiByte(c.codePage, c.flags, c.text, c.length,
                                      c.size == -2 ? nullptr : bytes, c.size == -2 ? 8 : c.size,
                                      c.defaultChar, c.used ? &used : nullptr),
                  0)
            << c.codePage << ", flags " << c.flags << ", length " << c.length << ", size "
            << c.size;
    }
    for (const auto& c : narrowCalls)
    {
        EXPECT_EQ(MultiByteToWideChar(c.codePage, c.flags, c.bytes, c.length,
                                      c.size == -2 ? nullptr : units, c.size == -2 ? 4 : c.size),
                  0)
            << c.codePage << ", flags " << c.flags << ", length " << c.length << ", size "
            << c.size;
    }
    // Pages that Windows has no table for here (UTF-16/32, GB18030, ISO-2022, IBM numbers).
    for (const std::uint32_t page :
         {1200u, 1201u, 12000u, 12001u, 54936u, 50220u, 273u, 943u, 1208u, 99999u, 2u})
    {
        EXPECT_EQ(WideCharToMultiByte(page, 0, L"a", 1, bytes, 8, nullptr, nullptr), 0) << page;
        EXPECT_EQ(MultiByteToWideChar(page, 0, "a", 1, units, 8), 0) << page;
    }
    // The same calls, well made, convert.
    EXPECT_EQ(MultiByteToWideChar(CodePageUtf8, 0, "a", 1, units, 8), 1);
    EXPECT_EQ(MultiByteToWideChar(CodePageUtf8, MbErrInvalidChars, "a\xC3\xA9", 3, units, 8), 2);
    EXPECT_EQ(WideCharToMultiByte(CodePageUtf8, WcErrInvalidChars, L"a\xE9", 2, bytes, 8, nullptr,
                                  nullptr),
              3);
    EXPECT_EQ(ToNarrow(CodePageUtf8, 0, lone).bytes, "a\xEF\xBF\xBD");
}

// UTF-8 goes through ASCII runs in blocks: non-ASCII text at every offset around the block
// edges, negative and out-of-range units, and a buffer one unit short of the sized output.
TEST(Utf8, ConvertsEveryPositionAroundTheAsciiBlocks)
{
    for (std::size_t run = 0; run <= 40; ++run)
    {
        SCOPED_TRACE(run);
        const std::wstring ascii(run, L'a');
        const std::string bytes(run, 'a');
        const std::wstring text = ascii + Wide({0xE9}) + ascii + Wide({0x1F600, 0x7F}) + ascii +
                                  Wide({0x20AC}) + ascii + Wide({0xD800, 0x110000}) + ascii +
                                  static_cast<wchar_t>(-1) + ascii;
        const std::string encoded = bytes + "\xC3\xA9" + bytes + "\xF0\x9F\x98\x80\x7F" + bytes +
                                    "\xE2\x82\xAC" + bytes + "\xEF\xBF\xBD\xEF\xBF\xBD" + bytes +
                                    "\xEF\xBF\xBD" + bytes;
        EXPECT_EQ(ToNarrow(CodePageUtf8, 0, text).bytes, encoded);
        const std::wstring decodable =
            ascii + Wide({0xE9}) + ascii + Wide({0x1F600, 0x7F}) + ascii + Wide({0x20AC}) + ascii;
        const std::string broken = bytes + "\xC3\xA9" + bytes + "\xF0\x9F\x98\x80\x7F" + bytes +
                                   "\xE2\x82\xAC" + bytes + "\xFF" + bytes + "\xE2\x82";
        EXPECT_EQ(ToWide(CodePageUtf8, 0, broken),
                  decodable + Wide({0xFFFD}) + ascii + Wide({0xFFFD}));

        std::string narrow(encoded.size(), '\0');
        std::wstring wide(decodable.size(), L'\0');
        const std::string decodableBytes = ToNarrow(CodePageUtf8, 0, decodable).bytes;
        for (const std::size_t size : {encoded.size() - 1, encoded.size() / 2})
        {
            EXPECT_EQ(WideCharToMultiByte(CodePageUtf8, 0, text.data(),
                                          static_cast<std::int32_t>(text.size()), &narrow[0],
                                          static_cast<std::int32_t>(size), nullptr, nullptr),
                      0);
        }
        for (const std::size_t size : {decodable.size() - 1, decodable.size() / 2})
        {
            EXPECT_EQ(MultiByteToWideChar(CodePageUtf8, 0, decodableBytes.data(),
                                          static_cast<std::int32_t>(decodableBytes.size()),
                                          &wide[0], static_cast<std::int32_t>(size)),
                      0);
        }
    }
}

TEST(Contract, AnsiAndOemAreUtf8)
{
    EXPECT_EQ(GetAnsiCodePage(), CodePageUtf8);
    EXPECT_EQ(GetOemCodePage(), CodePageUtf8);
    for (const std::uint32_t codePage : {CodePageAnsi, CodePageOem})
    {
        EXPECT_EQ(ToNarrow(codePage, 0, L"\xE9\x20AC").bytes, "\xC3\xA9\xE2\x82\xAC");
        EXPECT_EQ(ToWide(codePage, 0, "\xC3\xA9"), std::wstring(L"\xE9"));
    }
}

// Windows converts a text piece by piece (a character, or a base character and a combining one
// that compose), so a long text must give its pieces' conversions end to end, wherever the
// eight-character ASCII steps begin and end; and one unit less of room must fail the call.
TEST(LongText, GivesItsPiecesEndToEnd)
{
    const std::wstring widePieces[] = {L"a",      L"Z",      L"\xE9",        L"e\x301",
                                       L"\x65E5", L"?",      L"\xFF21",      std::wstring(1, L'\0'),
                                       L"\x100",  L"A\x304", Wide({0x1F600})};
    const std::string narrowPieces[] = {"a",        "Z",    std::string(1, '\0'), "\x93\xFA",
                                        "\x81\x01", "\xA0", "\x82\xA0",           "\x81"};
    std::uint32_t seed = 1;
    const auto next = [&seed](std::size_t count) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % count;
    };
    for (int round = 0; round < 40; ++round)
    {
        for (const std::uint32_t codePage : {1252u, 932u, 437u})
        {
            for (const std::uint32_t flags : {BestFit, NoBestFit})
            {
                std::wstring text;
                std::string expected;
                int expectedUsed = 0;
                while (text.size() < 200)
                {
                    // Runs of ASCII long enough for the fast path, then something else.
                    const std::size_t piece = next(3) == 0 ? next(std::size(widePieces)) : next(2);
                    const Narrow alone = ToNarrow(codePage, flags, widePieces[piece], "~", true);
                    text += widePieces[piece];
                    expected += alone.bytes;
                    expectedUsed |= alone.used;
                }
                SCOPED_TRACE(codePage);
                const Narrow whole = ToNarrow(codePage, flags, text, "~", true);
                EXPECT_EQ(whole.bytes, expected);
                EXPECT_EQ(whole.used, expectedUsed);
                char small[512];
                EXPECT_EQ(WideCharToMultiByte(
                              codePage, flags, text.data(), static_cast<std::int32_t>(text.size()),
                              small, static_cast<std::int32_t>(expected.size() - 1), "~", nullptr),
                          0);
            }
            std::string bytes;
            std::wstring expected;
            while (bytes.size() < 200)
            {
                const std::size_t piece =
                    next(3) == 0 ? next(std::size(narrowPieces) - 1) : next(2);
                bytes += narrowPieces[piece];
                expected += *ToWide(codePage, MbPrecomposed, narrowPieces[piece]);
            }
            bytes += narrowPieces[std::size(narrowPieces) - 1]; // a lead byte cut off at the end
            expected += *ToWide(codePage, MbPrecomposed, narrowPieces[std::size(narrowPieces) - 1]);
            EXPECT_EQ(ToWide(codePage, MbPrecomposed, bytes), expected) << codePage;
            wchar_t units[512];
            EXPECT_EQ(MultiByteToWideChar(codePage, MbPrecomposed, bytes.data(),
                                          static_cast<std::int32_t>(bytes.size()), units,
                                          static_cast<std::int32_t>(expected.size() - 1)),
                      0);
        }
    }
}

TEST(Allocations, ConversionsAllocateNothing)
{
    const std::wstring text = L"Gr\xFC\xDF"
                              L"e \x4E00 e\x301";
    const std::string bytes = "Gr\xFC\xDF"
                              "e \x81";
    char narrow[64];
    wchar_t wide[64];
    std::int32_t used = 0;
    AllocationScope scope;
    for (const std::uint32_t codePage : {1252u, 932u, 437u, CodePageUtf8})
    {
        const bool utf = codePage == CodePageUtf8;
        EXPECT_GT(WideCharToMultiByte(codePage, utf ? 0 : BestFit, text.data(),
                                      static_cast<std::int32_t>(text.size()), narrow, 64,
                                      utf ? nullptr : "?", utf ? nullptr : &used),
                  0);
        EXPECT_GT(MultiByteToWideChar(codePage, utf ? 0 : MbPrecomposed, bytes.data(),
                                      static_cast<std::int32_t>(bytes.size()), wide, 64),
                  0);
    }
    EXPECT_EQ(scope.Count(), 0u);
}

} // namespace

// The POSIX backend's code-page calls against Windows' contract and Windows' answers.
#include "os/CodePages.h"

#include "support/AllocationCounter.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

namespace
{

using namespace Tolvane::Util::Os;
using Tolvane::Testing::AllocationScope;

constexpr std::uint32_t BestFit = WcCompositeCheck | WcSepChars; // 0x220
constexpr std::uint32_t NoBestFit = BestFit | WcNoBestFitChars;  // 0x620

// The result of a wide-to-narrow call made with a sizing call first, as the library makes it.
struct Narrow
{
    std::int32_t sized;
    std::int32_t written;
    std::string bytes;
    std::optional<bool> used;
};

Narrow ToNarrow(std::uint32_t codePage, std::uint32_t flags, const std::wstring& text,
                const char* defaultChar, bool askUsed)
{
    Narrow result{};
    std::int32_t used = -1;
    std::int32_t* usedArgument = askUsed ? &used : nullptr;
    const auto length = static_cast<std::int32_t>(text.size());
    result.sized = WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0,
                                       defaultChar, usedArgument);
    if (result.sized > 0)
    {
        result.bytes.assign(static_cast<std::size_t>(result.sized), '\xEE');
        used = -1;
        result.written =
            WideCharToMultiByte(codePage, flags, text.data(), length, result.bytes.data(),
                                result.sized, defaultChar, usedArgument);
        result.bytes.resize(static_cast<std::size_t>(std::max(result.written, 0)));
    }
    if (askUsed)
    {
        result.used = used == 1;
    }
    return result;
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

// Wide to narrow ---------------------------------------------------------------------------

struct WideCase
{
    const char* what;
    std::uint32_t codePage;
    std::uint32_t flags;
    std::wstring text;
    const char* defaultChar; // null: the page's own, and no used-default flag
    std::string bytes;
    bool used;
};

void PrintTo(const WideCase& c, std::ostream* out)
{
    *out << c.what << " (" << c.codePage << ')';
}

class WideToNarrow : public testing::TestWithParam<WideCase>
{
};

TEST_P(WideToNarrow, GivesWindowsBytesAndUsedDefault)
{
    const WideCase& c = GetParam();
    const Narrow result =
        ToNarrow(c.codePage, c.flags, c.text, c.defaultChar, c.defaultChar != nullptr);
    ASSERT_GT(result.sized, 0);
    EXPECT_EQ(result.written, result.sized);
    EXPECT_EQ(result.bytes, c.bytes);
    if (c.defaultChar != nullptr)
    {
        EXPECT_EQ(result.used, c.used);
    }
}

std::string Bytes(const char* text, std::size_t length)
{
    return std::string(text, length);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WideToNarrow,
    testing::Values(
        WideCase{"exact", 1252, NoBestFit, L"Gr\x00FC\x00DF \x20AC", "~", "Gr\xFC\xDF \x80", false},
        WideCase{"no best fit: caller's default", 1252, NoBestFit, L"a\x0100z", "~", "a~z", true},
        WideCase{"system default is '?'", 1252, NoBestFit, L"\x4E00", nullptr, "?", false},
        WideCase{"system default on EBCDIC is 0x6F", 37, NoBestFit, L"\x4E00", nullptr, "\x6F",
                 false},
        WideCase{"best fit to '?' counts as default", 1252, BestFit, L"\xFF1F", "~", "~", true},
        WideCase{"'?' itself is no default", 1252, BestFit, L"?", "~", "?", false},
        WideCase{"'?' as default, '?' in the text", 1252, BestFit, L"a?b", "?", "a?b", false},
        WideCase{"'?' as default: substitution", 1252, NoBestFit, L"?\x4E00", "?", "??", true},
        WideCase{"'?' as default: best fit to '?'", 1252, BestFit, L"?\xFF1F?", "?", "???", true},
        WideCase{"best fit to '?' with the page's default", 1252, BestFit, L"\xFF1F", nullptr, "?",
                 false},
        WideCase{"one default per UTF-16 unit", 1252, NoBestFit, Wide({'a', 0x1F600, 'b'}), "~",
                 "a~~b", true},
        WideCase{"lone surrogate", 1252, NoBestFit, Wide({0xD800, 'x'}), "~", "~x", true},
        WideCase{"not a code point", 1252, NoBestFit, Wide({0x110000}), "~", "~", true},
        WideCase{"default-ignorable is not dropped", 1252, NoBestFit, L"a\x034F\x180B", "~", "a~~",
                 true},
        WideCase{"composite check composes", 1252, BestFit, L"e\x0301", "~", "\xE9", false},
        WideCase{"composite check without best fit", 1252, NoBestFit, L"e\x0301", "~", "\xE9",
                 false},
        WideCase{"no composite check, no composing", 1252, WcNoBestFitChars, L"e\x0301", "~", "e~",
                 true},
        WideCase{"composed form missing: separate", 1251, NoBestFit, L"e\x0301", "~", "e~", true},
        WideCase{"only adjacent pairs compose", 1252, NoBestFit, L"e\x0301\x0301", "~", "\xE9~",
                 true},
        WideCase{"NFC would rewrite U+037E; we do not", 1253, NoBestFit, L"\x037E", "~", "~", true},
        WideCase{"IBM PC control codes map to themselves", 437, NoBestFit, L"\x1A\x1C\x7F", "~",
                 "\x1A\x1C\x7F", false},
        WideCase{"932's control codes too", 932, NoBestFit, L"\x1A\x1C\x7F", "~", "\x1A\x1C\x7F",
                 false},
        WideCase{"437's micro sign is E6", 437, NoBestFit, L"\x00B5", "~", "\xE6", false},
        WideCase{"437's Greek mu is not", 437, NoBestFit, L"\x03BC", "~", "~", true},
        WideCase{"1253's private-use byte", 1253, NoBestFit, L"\xF8F9", "~", "\xAA", false},
        WideCase{"1253 has no feminine ordinal", 1253, NoBestFit, L"\x00AA", "~", "~", true},
        WideCase{"1255's holes", 1255, NoBestFit, L"\x05BA\xF896", "~", "\xCA\xFF", false},
        WideCase{"932's single bytes", 932, NoBestFit, L"\x0080\xF8F0\xF8F3", "~", "\x80\xA0\xFF",
                 false},
        WideCase{"932 double bytes", 932, NoBestFit, L"\x65E5\x672C", "~", "\x93\xFA\x96\x7B",
                 false},
        WideCase{"932 lacks U+F86F", 932, NoBestFit, L"\xF86F", "~", "~", true},
        WideCase{"embedded NUL", 1252, NoBestFit, std::wstring(L"a\0b", 3), "~", Bytes("a\0b", 3),
                 false},
        WideCase{"20127", 20127, NoBestFit, L"a\x00E9", "~", "a~", true},
        WideCase{"28591", 28591, NoBestFit, L"\x00FF\x0100", "~", "\xFF~", true}));

TEST(WideToNarrowContract, TooSmallBufferGivesZero)
{
    const std::wstring text = L"abc";
    char buffer[2];
    EXPECT_EQ(WideCharToMultiByte(1252, BestFit, text.data(), 3, buffer, 2, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(CodePageUtf8, 0, text.data(), 3, buffer, 2, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(CodePageUtf7, 0, L"\x4E00", 1, buffer, 2, nullptr, nullptr), 0);
}

TEST(WideToNarrowContract, BadArgumentsGiveZero)
{
    char buffer[8];
    const wchar_t* text = L"abc";
    EXPECT_EQ(WideCharToMultiByte(1252, BestFit, text, 0, buffer, 8, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(1252, BestFit, text, -2, buffer, 8, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(1252, BestFit, text, 3, nullptr, 8, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(1252, BestFit, text, 3, buffer, -1, nullptr, nullptr), 0);
}

struct RejectedCall
{
    std::uint32_t codePage;
    std::uint32_t flags;
    bool passDefault;
    bool passUsed;
};

class UtfPagesReject : public testing::TestWithParam<RejectedCall>
{
};

TEST_P(UtfPagesReject, FlagsAndDefaultCharacterArguments)
{
    const RejectedCall& c = GetParam();
    std::int32_t used = 0;
    char buffer[8];
    EXPECT_EQ(WideCharToMultiByte(c.codePage, c.flags, L"a", 1, buffer, 8,
                                  c.passDefault ? "?" : nullptr, c.passUsed ? &used : nullptr),
              0);
}

INSTANTIATE_TEST_SUITE_P(Cases, UtfPagesReject,
                         testing::Values(RejectedCall{CodePageUtf8, BestFit, false, false},
                                         RejectedCall{CodePageUtf8, 0, true, false},
                                         RejectedCall{CodePageUtf8, 0, false, true},
                                         RejectedCall{CodePageUtf7, NoBestFit, false, false},
                                         RejectedCall{CodePageUtf7, 0, true, true},
                                         RejectedCall{CodePageAnsi, BestFit, false, false},
                                         RejectedCall{CodePageOem, 0, true, false}));

TEST(Utf8Contract, ErrInvalidCharsFailsOnIllFormedInputOnly)
{
    constexpr std::uint32_t MbErrInvalidChars = 0x08;
    constexpr std::uint32_t WcErrInvalidChars = 0x80;
    wchar_t units[8];
    char bytes[8];
    EXPECT_EQ(MultiByteToWideChar(CodePageUtf8, MbErrInvalidChars, "a\xC3\xA9", 3, units, 8), 2);
    EXPECT_EQ(MultiByteToWideChar(CodePageUtf8, MbErrInvalidChars, "a\xFF", 2, units, 8), 0);
    EXPECT_EQ(MultiByteToWideChar(CodePageUtf8, MbErrInvalidChars, "a\xFF", 2, nullptr, 0), 0);
    const wchar_t lone[] = {L'a', static_cast<wchar_t>(0xDC00)};
    EXPECT_EQ(WideCharToMultiByte(CodePageUtf8, WcErrInvalidChars, L"a\x00E9", 2, bytes, 8, nullptr,
                                  nullptr),
              3);
    EXPECT_EQ(
        WideCharToMultiByte(CodePageUtf8, WcErrInvalidChars, lone, 2, bytes, 8, nullptr, nullptr),
        0);
    // Without the flag the same input converts, with U+FFFD.
    EXPECT_EQ(WideCharToMultiByte(CodePageUtf8, 0, lone, 2, bytes, 8, nullptr, nullptr), 4);
    EXPECT_EQ(std::string(bytes, 4), "a\xEF\xBF\xBD");
    // UTF-7 takes neither flag.
    EXPECT_EQ(MultiByteToWideChar(CodePageUtf7, MbErrInvalidChars, "a", 1, units, 8), 0);
}

TEST(NarrowContract, UtfPagesRejectPrecomposed)
{
    wchar_t buffer[8];
    EXPECT_EQ(MultiByteToWideChar(CodePageUtf8, MbPrecomposed, "a", 1, buffer, 8), 0);
    EXPECT_EQ(MultiByteToWideChar(CodePageUtf7, MbPrecomposed, "a", 1, buffer, 8), 0);
    EXPECT_EQ(MultiByteToWideChar(CodePageUtf8, 0, "a", 1, buffer, 8), 1);
}

TEST(CodePageContract, PagesThePlatformLacksGiveZero)
{
    for (const std::uint32_t codePage :
         {1200u, 1201u, 12000u, 12001u, 20932u, 20949u, 708u, 99999u, 2u})
    {
        char bytes[8];
        wchar_t units[8];
        EXPECT_EQ(WideCharToMultiByte(codePage, 0, L"a", 1, bytes, 8, nullptr, nullptr), 0)
            << codePage;
        EXPECT_EQ(MultiByteToWideChar(codePage, 0, "a", 1, units, 8), 0) << codePage;
    }
}

TEST(CodePageContract, AnsiAndOemAreUtf8)
{
    EXPECT_EQ(GetAnsiCodePage(), CodePageUtf8);
    EXPECT_EQ(GetOemCodePage(), CodePageUtf8);
    for (const std::uint32_t codePage : {CodePageAnsi, CodePageOem})
    {
        EXPECT_EQ(ToNarrow(codePage, 0, L"\x00E9\x20AC", nullptr, false).bytes,
                  "\xC3\xA9\xE2\x82\xAC");
        EXPECT_EQ(ToWide(codePage, 0, "\xC3\xA9"), std::wstring(L"\x00E9"));
    }
}

// Narrow to wide ---------------------------------------------------------------------------

struct NarrowCase
{
    const char* what;
    std::uint32_t codePage;
    std::string bytes;
    std::optional<std::wstring> text; // none: the call fails
};

void PrintTo(const NarrowCase& c, std::ostream* out)
{
    *out << c.what << " (" << c.codePage << ')';
}

class NarrowToWide : public testing::TestWithParam<NarrowCase>
{
};

TEST_P(NarrowToWide, GivesWindowsText)
{
    const NarrowCase& c = GetParam();
    const std::uint32_t flags =
        c.codePage == CodePageUtf7 || c.codePage == CodePageUtf8 ? 0 : MbPrecomposed;
    EXPECT_EQ(ToWide(c.codePage, flags, c.bytes), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NarrowToWide,
    testing::Values(
        NarrowCase{"exact", 1252, "\x80\xE9", Wide({0x20AC, 0xE9})},
        NarrowCase{"lone lead byte gives '?'", 949, "a\xC9", Wide({'a', '?'})},
        NarrowCase{"932 default is U+30FB", 932, "\x85\x40", Wide({0x30FB})},
        NarrowCase{"lead byte takes its trail", 936, "\x81\x01z", Wide({'?', 'z'})},
        NarrowCase{"lead byte takes an ASCII trail", 949, "\x81\x22", Wide({'?'})},
        NarrowCase{"but not a NUL", 950, Bytes("\x81\0", 2), Wide({'?', 0})},
        NarrowCase{"lead byte at the end", 932, "a\x81", Wide({'a', 0x30FB})},
        NarrowCase{"932 double bytes", 932, "\x93\xFA\x96\x7B", Wide({0x65E5, 0x672C})},
        NarrowCase{"932's single bytes", 932, "\x80\xA0\xFD", Wide({0x80, 0xF8F0, 0xF8F1})},
        NarrowCase{"IBM PC control codes", 437, "\x1A\x1C\x7F", Wide({0x1A, 0x1C, 0x7F})},
        NarrowCase{"437's micro sign", 437, "\xE6", Wide({0xB5})},
        NarrowCase{"1253's private-use bytes", 1253, "\xAA\xD2", Wide({0xF8F9, 0xF8FA})},
        NarrowCase{"1257's private-use bytes", 1257, "\xA1\xA5", Wide({0xF8FC, 0xF8FD})},
        NarrowCase{"20127 drops the eighth bit", 20127, "\xC1\x80", Wide({'A', 0})},
        NarrowCase{"embedded NUL", 1251, Bytes("\0\xCF", 2), Wide({0, 0x41F})},
        NarrowCase{"UTF-8", CodePageUtf8, "\xC3\xA9\xF0\x9F\x98\x80", Wide({0xE9, 0x1F600})},
        NarrowCase{"UTF-8 surrogate: two U+FFFD", CodePageUtf8, "\xED\xA0\x80",
                   Wide({0xFFFD, 0xFFFD})},
        NarrowCase{"UTF-8 above U+10FFFF: three", CodePageUtf8, "\xF4\x90\x80\x80",
                   Wide({0xFFFD, 0xFFFD, 0xFFFD})},
        NarrowCase{"UTF-8 overlong: bad pair, then a stray", CodePageUtf8, "\xE0\x80\x80",
                   Wide({0xFFFD, 0xFFFD})},
        NarrowCase{"UTF-8 bad trail stays", CodePageUtf8, "\xE2\x41\x42", Wide({0xFFFD, 'A', 'B'})},
        NarrowCase{"UTF-8 cut short takes the rest", CodePageUtf8, "x\xE2\x41",
                   Wide({'x', 0xFFFD})},
        NarrowCase{"UTF-8 stray bytes", CodePageUtf8, "\x80\xC0\xFF",
                   Wide({0xFFFD, 0xFFFD, 0xFFFD})},
        NarrowCase{"UTF-7 base64", CodePageUtf7, "A+ImIDkQ.", Wide({'A', 0x2262, 0x391, '.'})},
        NarrowCase{"UTF-7 plus", CodePageUtf7, "1+-1", Wide({'1', '+', '1'})},
        NarrowCase{"UTF-7 pair is one code point", CodePageUtf7, "+2D3eAA-", Wide({0x1F600})},
        NarrowCase{"UTF-7 lone surrogate passes", CodePageUtf7, "+2D0-", Wide({0xD83D})},
        NarrowCase{"UTF-7 8-bit bytes pass", CodePageUtf7, "\x8C\xFF", Wide({0x8C, 0xFF})},
        NarrowCase{"UTF-7 raw NUL", CodePageUtf7, Bytes("a\0", 2), Wide({'a', 0})},
        NarrowCase{"UTF-7 unfinished bits are dropped", CodePageUtf7, "+AGE.", Wide({'a', '.'})},
        NarrowCase{"UTF-7 an 8-bit byte keeps them", CodePageUtf7,
                   "+AG\x80"
                   "E-",
                   Wide({0x80, 'E', '-'})},
        NarrowCase{"UTF-7 nothing decoded fails", CodePageUtf7, "+N", std::nullopt},
        NarrowCase{"UTF-7 trailing plus", CodePageUtf7, "a+", Wide({'a'})}));

TEST(NarrowContract, TooSmallBufferAndBadArgumentsGiveZero)
{
    wchar_t buffer[2];
    EXPECT_EQ(MultiByteToWideChar(1252, MbPrecomposed, "abc", 3, buffer, 2), 0);
    EXPECT_EQ(MultiByteToWideChar(CodePageUtf8, 0, "abc", 3, buffer, 2), 0);
    EXPECT_EQ(MultiByteToWideChar(CodePageUtf7, 0, "abc", 3, buffer, 2), 0);
    EXPECT_EQ(MultiByteToWideChar(1252, MbPrecomposed, "abc", 0, buffer, 2), 0);
    EXPECT_EQ(MultiByteToWideChar(1252, MbPrecomposed, "abc", -1, buffer, 2), 0);
    EXPECT_EQ(MultiByteToWideChar(1252, MbPrecomposed, "abc", 3, nullptr, 4), 0);
}

// UTF-7 encoding ---------------------------------------------------------------------------

struct Utf7Case
{
    std::wstring text;
    std::string bytes;
};

class Utf7Encoding : public testing::TestWithParam<Utf7Case>
{
};

TEST_P(Utf7Encoding, AsWindowsWritesIt)
{
    EXPECT_EQ(ToNarrow(CodePageUtf7, 0, GetParam().text, nullptr, false).bytes, GetParam().bytes);
    // And it reads back.
    EXPECT_EQ(ToWide(CodePageUtf7, 0, GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, Utf7Encoding,
                         testing::Values(Utf7Case{L"Hi Mom -:-)", "Hi Mom -:-)"},
                                         Utf7Case{L"!", "+ACE-"}, Utf7Case{L"a+b", "a+-b"},
                                         Utf7Case{L"+a", "+-a"}, Utf7Case{L"~\\", "+AH4AXA-"},
                                         Utf7Case{std::wstring(L"\0", 1), std::string("\0", 1)},
                                         Utf7Case{L"A\x2262\x0391.", "A+ImIDkQ-."},
                                         Utf7Case{Wide({0x1F600}), "+2D3eAA-"},
                                         Utf7Case{L"\x65E5\x672C\x8A9E", "+ZeVnLIqe-"}));

// Lengths, chunks and allocations -----------------------------------------------------------

TEST(LongText, ConvertsWholeAcrossChunks)
{
    // Long enough for several of the backend's chunks, with pairs and substitutions on the
    // chunk borders wherever they fall.
    std::wstring text;
    std::string expected;
    for (int i = 0; i < 3000; ++i)
    {
        text += Wide({'a', 0x1F600, 0xE9});
        expected += "a~~\xE9";
    }
    const Narrow narrow = ToNarrow(1252, NoBestFit, text, "~", true);
    EXPECT_EQ(narrow.sized, static_cast<std::int32_t>(expected.size()));
    EXPECT_EQ(narrow.bytes, expected);
    EXPECT_EQ(narrow.used, true);

    std::string japanese;
    std::wstring decoded;
    for (int i = 0; i < 3000; ++i)
    {
        japanese += "\x93\xFA"
                    "a";
        decoded += L"\x65E5"
                   L"a";
    }
    EXPECT_EQ(ToWide(932, MbPrecomposed, japanese), decoded);

    // Lead bytes that take their trail byte along, wherever ICU's output chunks end.
    std::string broken;
    std::wstring replaced;
    for (int i = 0; i < 3000; ++i)
    {
        broken += i % 3 == 0 ? "\x81\x01" : "\xD6\xD0x";
        replaced += i % 3 == 0 ? L"?" : L"\x4E2Dx";
    }
    EXPECT_EQ(ToWide(936, MbPrecomposed, broken), replaced);
}

TEST(Allocations, ConversionsAllocateNothing)
{
    const std::wstring text = L"Gr\x00FC\x00DF"
                              L"e \x4E00 e\x0301";
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

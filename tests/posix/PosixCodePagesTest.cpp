// The POSIX code-page calls where the comparison with Windows' recorded answers (one character a
// call) does not reach: longer texts (the ASCII block copies, composition, UTF-7 runs), code
// points beyond the BMP, and the calls' contract (room, refused flags and arguments).
#include "os/CodePages.h"

#include "WindowsCodePages.h"

#include "support/AllocationCounter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <tuple>
#include <vector>

namespace {

using namespace Tolvane::Util::Os;

constexpr std::uint32_t BestFit = WcCompositeCheck | WcSepChars;
constexpr std::uint32_t NoBestFit = BestFit | WcNoBestFitChars;
constexpr std::uint32_t MbErrInvalidChars = 0x08;
constexpr std::uint32_t WcErrInvalidChars = 0x80;

// Converts as the library does, a sizing call and then one with that room, and checks that one
// unit less room fails the call, that the conversion writes nothing past its room and that
// neither call allocates once the tables that long texts make on first use exist.
template <typename Text, typename Call>
Text Converted(Call call)
{
    const std::int32_t size = call(nullptr, 0);
    constexpr typename Text::value_type Guard = '\x7F';
    Text text(static_cast<std::size_t>(std::max(size, 1)) + 1, Guard);
    // Exactly that room, so that the sanitizers see a write past it.
    std::vector<typename Text::value_type> shorter(static_cast<std::size_t>(std::max(size - 1, 1)));
    call(text.data(), size);
    const Tolvane::Testing::AllocationScope scope;
    EXPECT_EQ(size > 1 ? call(shorter.data(), size - 1) : 0, 0) << "one unit short";
    EXPECT_EQ(size > 1 ? call(shorter.data(), 1) : 0, 0) << "room for one unit";
    const std::int32_t written = call(text.data(), size);
    EXPECT_EQ(scope.Count(), 0u) << "a conversion allocates";
    EXPECT_EQ(written, size) << "the sizing call disagrees with the conversion";
    EXPECT_EQ(text[static_cast<std::size_t>(std::max(size, 1))], Guard) << "a write past the room";
    text.resize(static_cast<std::size_t>(std::max(written, 0)));
    return text;
}

// `used` receives the used-default flag; the text may be part of a longer one.
std::string ToNarrow(std::uint32_t page, std::uint32_t flags, std::wstring_view view,
                     const char* defaultChar = nullptr, std::int32_t* used = nullptr)
{
    // A copy of exactly that length, so that the sanitizers see a read past it.
    const std::vector<wchar_t> text(view.begin(), view.end());
    return Converted<std::string>([&](char* output, std::int32_t size) {
        return WideCharToMultiByte(page, flags, text.data(), static_cast<std::int32_t>(text.size()),
                                   output, size, defaultChar, used);
    });
}

std::wstring ToWide(std::uint32_t page, std::uint32_t flags, std::string_view view)
{
    const std::vector<char> bytes(view.begin(), view.end());
    return Converted<std::wstring>([&](wchar_t* output, std::int32_t size) {
        return MultiByteToWideChar(page, flags, bytes.data(),
                                   static_cast<std::int32_t>(bytes.size()), output, size);
    });
}

TEST(PosixCodePages, ConvertTextsAsWindowsDoes)
{
    // Code page, flags, text, bytes, the used-default flag (-1: no default character and no
    // flag passed), and whether to convert the text to the bytes and the bytes to the text.
    const std::tuple<std::uint32_t, std::uint32_t, std::wstring, std::string, int, bool, bool>
        cases[] = {
            // Table pages: one default per UTF-16 unit; composition only under the composite check,
            // and only with the next unit.
            {1252, NoBestFit, L"a\U00010000\U0010FFFFb", "a~~~~b", 1, true, false}, // first, last
            {1252, NoBestFit, L"\x110000", "~", 1, true, false},
            {1252, NoBestFit, L"\U00010000a", "~~a", 1, true, false},
            {1252, NoBestFit, L"e\x301\x301", "\xE9~", 1, true, false},
            {1252, WcNoBestFitChars, L"e\x301", "e~", 1, true, false},
            {1252, WcNoBestFitChars, L"\u0100ab\U0001F600cd", "~ab~~cd", 1, true, false},
            {1252, 0, L"a\u0301bc", "a\264bc", 0, true, false}, // best fit, nothing composes
            // Sixteen units that stand for their own bytes, then one that composes with the
            // last of them or one that is no such unit, however its low byte reads.
            {1252, NoBestFit, std::wstring(15, 'a') + L"e\x301", std::string(15, 'a') + "\xE9", 0,
             true, false},
            {1252, NoBestFit, std::wstring(15, 'a') + L"\U000100FF", std::string(15, 'a') + "~~", 1,
             true, false},
            {1252, NoBestFit, L"\xE0" + std::wstring(14, 'a') + L"\xFFFFFFFF",
             "\xE0" + std::string(14, 'a') + "~", 1, true, false},
            // Short double-byte texts whose last code is one byte, in exactly their room.
            {932, BestFit, L"\u65E5\u672Ca",
             "\x93\xFA\x96\x7B"
             "a",
             0, true, true},
            {932, BestFit, L"a\u65E5\uFF76", "a\x93\xFA\xB6", 0, true, true},
            // EBCDIC: no ASCII block copies.
            {37, BestFit, L"abcdefghijklmnopq",
             "\x81\x82\x83\x84\x85\x86\x87\x88\x89\x91\x92\x93\x94\x95\x96\x97\x98", -1, true,
             true},
            // A base that the page lacks, composed into a character that it has.
            {866, BestFit, L"x\x456\x308" + std::wstring(20, 'a'), "x\xF5" + std::string(20, 'a'),
             0, true, false},
            // UTF-7 as Windows writes and reads it.
            {CodePageUtf7, 0, L"Hi Mom -:-)", "Hi Mom -:-)", -1, true, true},
            {CodePageUtf7, 0, L"A\x2262\x391.", "A+ImIDkQ-.", -1, true, true},
            {CodePageUtf7, 0, L"\U0001F600", "+2D3eAA-", -1, true, true},
            {CodePageUtf7, 0, L"\x6800\x3300", "+aAAzAA-", -1, true, true}, // digits a and z
            {CodePageUtf7, 0, L"\xF800", "++AA-", -1, true, true},          // '+' as a base64 digit
            {CodePageUtf7, 0, L"A\x2262\x391.", "A+ImIDkQ.", -1, false, true},
            {CodePageUtf7, 0, L"1+1", "1+-1", -1, false, true},
            // A lone surrogate passes; unfinished bits are dropped, but a high byte keeps them
            // for the next shifted run.
            {CodePageUtf7, 0, L"\xD83D\x41", "+2D0AQQ-", -1, false, true},
            {CodePageUtf7, 0, L"a.", "+AGE.", -1, false, true},
            {CodePageUtf7, 0, L"\x80\x60", "+AG\x80+AE-", -1, false, true},
            // UTF-8 takes the error flags, and writes U+FFFD for what is no scalar value.
            {CodePageUtf8, WcErrInvalidChars, L"a\xE9", "a\xC3\xA9", -1, true, false},
            {CodePageUtf8, MbErrInvalidChars, L"a\xE9", "a\xC3\xA9", -1, false, true},
            {CodePageUtf8, 0, L"a\xDC00", "a\xEF\xBF\xBD", -1, true, false},
            // The system's ANSI and OEM code pages are UTF-8.
            {CodePageAnsi, 0, L"\xE9\x20AC", "\xC3\xA9\xE2\x82\xAC", -1, true, true},
            {CodePageOem, 0, L"\xE9\x20AC", "\xC3\xA9\xE2\x82\xAC", -1, true, true}};
    for (const auto& [page, flags, text, bytes, used, toBytes, toText] : cases)
    {
        SCOPED_TRACE(bytes);
        std::int32_t usedNow = -1;
        const bool passed = used >= 0;
        EXPECT_TRUE(!toBytes || ToNarrow(page, flags, text, passed ? "~" : nullptr,
                                         passed ? &usedNow : nullptr) == bytes);
        EXPECT_TRUE(!toBytes || usedNow == used);
        EXPECT_TRUE(!toText || ToWide(page, flags, bytes) == text);
    }
    EXPECT_EQ(GetAnsiCodePage(), CodePageUtf8);
    EXPECT_EQ(GetOemCodePage(), CodePageUtf8);
    // Neither the UTF-8 block loop nor a lead byte at the end reads past the text.
    const std::wstring emoji(16, L'\U0001F600');
    EXPECT_EQ(ToNarrow(CodePageUtf8, 0, L"ab" + emoji), "ab" + ToNarrow(CodePageUtf8, 0, emoji));
    wchar_t unit = 0;
    EXPECT_EQ(MultiByteToWideChar(932, MbPrecomposed, "\x93\xFA", 1, &unit, 1), 1);
    EXPECT_EQ(std::wstring(1, unit), ToWide(932, MbPrecomposed, "\x93"));
    EXPECT_EQ(MultiByteToWideChar(CodePageUtf8, 0, "\xC3\xA9\xC3\xA9", 2, nullptr, 0), 1);
}

// Bad lengths and buffers, flags and default-character arguments that a page does not take,
// ill-formed UTF-8 with the error flag, and pages that have no table here: all give 0.
TEST(PosixCodePages, RefuseWhatWindowsRefuses)
{
    // Direction (to bytes or not), code page, flags, length (of "a", then a lone surrogate or a
    // byte that is no UTF-8), buffer size (-2: no buffer), default character, used-default flag.
    const std::tuple<bool, std::uint32_t, std::uint32_t, std::int32_t, std::int32_t, const char*,
                     bool>
        calls[] = {{true, 1252, BestFit, 0, 8, nullptr, false},
                   {true, 1252, BestFit, -2, 8, nullptr, false},
                   {true, 1252, BestFit, 2, -2, nullptr, false},
                   {true, 1252, BestFit, 2, -1, nullptr, false},
                   {true, CodePageUtf8, BestFit, 1, 8, nullptr, false},
                   {true, CodePageUtf8, 0, 1, 8, "?", false},
                   {true, CodePageUtf8, 0, 1, 8, nullptr, true},
                   {true, CodePageUtf7, WcErrInvalidChars, 1, 8, nullptr, false},
                   {true, CodePageAnsi, BestFit, 1, 8, nullptr, false},
                   {true, CodePageOem, 0, 1, 8, "?", false},
                   {true, CodePageUtf8, WcErrInvalidChars, 2, 8, nullptr, false},
                   {false, 1252, MbPrecomposed, 0, 2, nullptr, false},
                   {false, 1252, MbPrecomposed, -1, 2, nullptr, false},
                   {false, 1252, MbPrecomposed, 2, -2, nullptr, false},
                   {false, CodePageUtf8, MbPrecomposed, 1, 8, nullptr, false},
                   {false, CodePageUtf7, MbErrInvalidChars, 1, 8, nullptr, false},
                   {false, CodePageUtf7, MbPrecomposed, 1, 8, nullptr, false},
                   {false, CodePageUtf8, MbErrInvalidChars, 2, 8, nullptr, false},
                   {false, CodePageUtf8, MbErrInvalidChars, 2, 0, nullptr, false}};
    char bytes[8];
    wchar_t units[8];
    std::int32_t used = 0;
    for (const auto& [toBytes, page, flags, length, size, defaultChar, passUsed] : calls)
    {
        const bool buffer = size != -2;
        EXPECT_EQ(toBytes ? WideCharToMultiByte(page, flags, L"a\xDC00", length,
                                                buffer ? bytes : nullptr, buffer ? size : 8,
                                                defaultChar, passUsed ? &used : nullptr)
                          : MultiByteToWideChar(page, flags, "a\xFF", length,
                                                buffer ? units : nullptr, buffer ? size : 8),
                  0)
            << page << ", flags " << flags << ", length " << length << ", size " << size;
    }
    // Exactly the pages that Windows has, and the ANSI and OEM pages (0 and 1): no other number
    // converts in either direction (UTF-16/32, GB18030, ISO-2022, CP_MACCP, ...).
    std::vector<std::uint32_t> expected(std::begin(Tolvane::CodePageData::TableCodePages),
                                        std::end(Tolvane::CodePageData::TableCodePages));
    expected.insert(expected.end(), {CodePageAnsi, CodePageOem, CodePageUtf7, CodePageUtf8});
    std::sort(expected.begin(), expected.end());
    std::vector<std::uint32_t> toBytes;
    std::vector<std::uint32_t> toUnits;
    for (std::uint32_t page = 0; page < 0x20000; ++page)
    {
        if (WideCharToMultiByte(page, 0, L"a", 1, bytes, 8, nullptr, nullptr) != 0)
        {
            toBytes.push_back(page);
        }
        if (MultiByteToWideChar(page, 0, "a", 1, units, 8) != 0)
        {
            toUnits.push_back(page);
        }
    }
    EXPECT_EQ(toBytes, expected);
    EXPECT_EQ(toUnits, expected);
}

// Windows converts a text piece by piece (a character, or a base character and a combining one
// that compose), so a long text must give its pieces' conversions end to end, wherever the ASCII
// runs that go in blocks begin and end, also in texts long enough for the double-byte pages' flat
// tables; and a conversion allocates nothing.
TEST(PosixCodePages, LongTextsGiveTheirPiecesEndToEnd)
{
    const std::wstring widePieces[] = {L"a",      L"Z",        L"The quick brown fox ",
                                       L"\xE9",   L"e\x301",   L"\x65E5",
                                       L"?",      L"\xFF21",   {L'\0'},
                                       L"\x100",  L"A\x304",   L"\U0001F600",
                                       L"\xD800", L"\x110000", L"\xFFFFFFFF",
                                       L"\x80"};
    // The last: a lead byte cut off by the end of the text.
    const std::string narrowPieces[] = {
        "a",    "Z",        "The quick brown fox ", "\xC3\xA9", "\x93\xFA", {'\0'}, "\x81\x01",
        "\xA0", "\x82\xA0", "\xF0\x9F\x98\x80",     "\x81"};
    std::minstd_rand random(1);
    // Mostly ASCII, for runs long and short, then something else.
    const auto pick = [&random](std::size_t count) {
        return random() % 3 == 0 ? random() % count : random() % 3;
    };
    for (int round = 0; round < 40; ++round)
    {
        const std::size_t length = round % 8 < 2 ? 5000 : 340;
        for (const std::uint32_t page : {1252u, 932u, 437u, CodePageUtf8})
        {
            SCOPED_TRACE(page);
            const bool utf = page == CodePageUtf8;
            const std::uint32_t flags = utf ? 0 : round % 2 == 0 ? BestFit : NoBestFit;
            const std::uint32_t narrowFlags = utf ? 0 : MbPrecomposed;
            const char* const defaultChar = utf ? nullptr : "~";
            std::int32_t used = 0;
            std::int32_t anyUsed = 0;
            // Behind other ASCII text, which a block read from the wrong place would show.
            const std::string fox = narrowPieces[2] + narrowPieces[2];
            std::wstring text = L"0123456789abcdef" + widePieces[2] + widePieces[2];
            std::string expectedBytes = fox;
            while (text.size() < length)
            {
                const std::wstring& piece = widePieces[pick(std::size(widePieces))];
                text += piece;
                expectedBytes += ToNarrow(page, flags, piece, defaultChar, utf ? nullptr : &used);
                anyUsed |= used;
            }
            std::string bytes = "0123456789abcdef" + fox;
            std::wstring expectedText = text.substr(16, 40);
            for (std::size_t piece = 0;
                 bytes.size() < length || piece + 1 != std::size(narrowPieces);)
            {
                piece = bytes.size() < length ? pick(std::size(narrowPieces) - 1)
                                              : std::size(narrowPieces) - 1;
                bytes += narrowPieces[piece];
                expectedText += ToWide(page, narrowFlags, narrowPieces[piece]);
            }
            EXPECT_EQ(ToNarrow(page, flags, std::wstring_view(text).substr(16), defaultChar,
                               utf ? nullptr : &used),
                      expectedBytes);
            EXPECT_EQ(used, anyUsed);
            EXPECT_EQ(ToWide(page, narrowFlags, std::string_view(bytes).substr(16)), expectedText);
        }
    }
}

// Long UTF-8 texts are counted and encoded sixteen units at a time: every length of sequence,
// its limits, and units that UTF-8 cannot carry, anywhere in a block, must give what they give
// one by one.
TEST(PosixCodePages, EncodeLongUtf8TextsAsUnitByUnit)
{
    const std::wstring pieces[] = {L"0123456789abcdefghij",
                                   L"a",
                                   {L'\0'},
                                   L"\x7F",
                                   L"\x80",
                                   L"\x7FF",
                                   L"\x800",
                                   L"\xD7FF",
                                   L"\xE000",
                                   L"\xFFFF",
                                   L"\U00010000",
                                   L"\U0010FFFF",
                                   L"\xE9",
                                   L"\x65E5"};
    const std::wstring invalid[] = {L"\xD800", L"\xDFFF", L"\x110000", L"\x7FFFFFFF",
                                    L"\x80000000"};
    std::minstd_rand random(7);
    for (int round = 0; round < 200; ++round)
    {
        const bool mayBeInvalid = round % 2 == 1;
        const std::size_t length = 32 + random() % 300;
        std::wstring text;
        std::string expected;
        bool anyInvalid = false;
        while (text.size() < length)
        {
            const bool bad = mayBeInvalid && random() % 16 == 0;
            const std::wstring& piece =
                bad ? invalid[random() % std::size(invalid)] : pieces[random() % std::size(pieces)];
            anyInvalid |= bad;
            text += piece;
            expected += ToNarrow(CodePageUtf8, 0, piece);
        }
        SCOPED_TRACE(round);
        EXPECT_EQ(ToNarrow(CodePageUtf8, 0, text), expected);
        const std::int32_t strict = WideCharToMultiByte(
            CodePageUtf8, WcErrInvalidChars, text.data(), static_cast<std::int32_t>(text.size()),
            nullptr, 0, nullptr, nullptr);
        EXPECT_EQ(strict == 0, anyInvalid);
    }
}

// A short text goes through a loop of its own, and on a single-byte page sixteen units at a
// time where each stands for the byte of its own value: on every table page its conversion must
// still give its pieces' end to end.
TEST(PosixCodePages, ShortTextsGiveTheirPiecesEndToEnd)
{
    const std::wstring others[] = {L"e\x301",       L"\x100",  L"\U000100FF",
                                   L"\xFFFFFFFF",   L"\x20AC", L"\x65E5",
                                   L"\x672C\x8A9E", L"\xFF76", L"\x3042\x3044"};
    std::minstd_rand random(7);
    const auto latin = [&random] {
        return static_cast<wchar_t>(random() % 2 == 0 ? 'a' + random() % 26 : 0xE0 + random() % 32);
    };
    for (const std::uint32_t page : Tolvane::CodePageData::TableCodePages)
    {
        SCOPED_TRACE(page);
        // Each unit below U+0100 last in a block whose other units stand for their own bytes
        // on every page.
        for (wchar_t unit = 0; unit < 0x100; ++unit)
        {
            const std::wstring zeros(15, L'\0');
            std::int32_t used = 0;
            const std::string alone = ToNarrow(page, NoBestFit, std::wstring(1, unit), "~", &used);
            std::int32_t usedInBlock = 0;
            EXPECT_EQ(ToNarrow(page, NoBestFit, zeros + unit, "~", &usedInBlock),
                      std::string(15, '\0') + alone)
                << static_cast<unsigned>(unit);
            EXPECT_EQ(usedInBlock, used);
        }
        // Eight units whose last composes with the unit after them.
        const std::wstring composed = L"e\x301";
        EXPECT_EQ(ToNarrow(page, NoBestFit, std::wstring(7, L'\0') + composed),
                  std::string(7, '\0') + ToNarrow(page, NoBestFit, composed));
        for (int round = 0; round < 16; ++round)
        {
            const std::uint32_t flags = round % 2 == 0 ? BestFit : NoBestFit;
            const std::size_t length = 16 + random() % 17;
            std::wstring text;
            std::string expected;
            std::int32_t used = 0;
            std::int32_t anyUsed = 0;
            while (text.size() < length)
            {
                // Any unit below U+0100, runs of letters, and now and then something else.
                std::wstring piece(1, static_cast<wchar_t>(random() % 0x100));
                const auto kind = random() % 8;
                if (kind == 0)
                {
                    piece = others[random() % std::size(others)];
                }
                else if (kind < 4)
                {
                    piece.clear();
                    std::generate_n(std::back_inserter(piece), random() % 20, latin);
                }
                text += piece;
                expected += ToNarrow(page, flags, piece, "~", &used);
                anyUsed |= used;
            }
            EXPECT_EQ(ToNarrow(page, flags, text, "~", &used), expected);
            EXPECT_EQ(used, anyUsed);
        }
    }
}

// The sizing call counts a double-byte text's characters in blocks, from which bytes lead: it
// must agree with the conversion wherever lead bytes, their trail bytes and NULs fall, also
// across the blocks' ends.
TEST(PosixCodePages, CountDoubleByteTextsAsTheyConvert)
{
    // Lead bytes of both pages, one that leads only on 936, NUL, and bytes that lead on neither.
    const char alphabet[] = {'\x81', '\xE0', '\xFC', '\xA1', '\0', 'A', '\x40', '\x7F'};
    std::minstd_rand random(7);
    for (const std::uint32_t page : {932u, 936u})
    {
        for (int round = 0; round < 200; ++round)
        {
            std::string bytes(129 + random() % 200, 'A');
            for (char& byte : bytes)
            {
                byte = alphabet[random() % std::size(alphabet)];
            }
            ToWide(page, MbPrecomposed, bytes); // which compares the sizing call's answer
        }
    }
}

// A base and a combining character give the composed character's code wherever they stand in a
// long text, also once a default has been used (when the sizing call counts without lookups):
// combining units at the ends of their ranges, behind a letter just past one.
TEST(PosixCodePages, ComposeAnywhereInALongText)
{
    const std::tuple<std::uint32_t, std::wstring, std::wstring> pairs[] = {
        {1252, L"a\x300", L"\xE0"},
        {1252, L"u\x308", L"\xFC"},
        {1256, L"\x627\x653", L"\x622"},
        {1256, L"\x627\x655", L"\x625"}};
    for (const auto& [page, decomposed, composed] : pairs)
    {
        for (std::size_t offset = 0; offset < 18; ++offset)
        {
            SCOPED_TRACE(offset);
            const std::wstring before = L"\x4E00" + std::wstring(offset, L'b') + L"\x656\x3A9";
            const std::wstring after(20, L'c');
            EXPECT_EQ(ToNarrow(page, BestFit, before + decomposed + after),
                      ToNarrow(page, BestFit, before + composed + after));
        }
    }
}

// The first long texts on a double-byte page, converted on several threads at once both ways,
// race to make the page's flat tables (no test before this one makes 949's): each must get the
// text's bytes, and the bytes' text.
TEST(PosixCodePages, ConvertLongTextsOnSeveralThreadsAtOnce)
{
    const std::wstring sample = L"\xAC00\xB098\xB2E4 abc \x4E00\x3042";
    std::wstring text;
    std::string expected;
    std::wstring expectedText;
    const std::string sampleBytes = ToNarrow(949, BestFit, sample);
    const std::wstring sampleText = ToWide(949, MbPrecomposed, sampleBytes);
    while (text.size() < 5000)
    {
        text += sample;
        expected += sampleBytes;
        expectedText += sampleText;
    }
    std::atomic<int> waiting{4};
    std::vector<std::string> results(4);
    std::vector<std::wstring> texts(4);
    std::vector<std::thread> threads;
    for (std::size_t k = 0; k < results.size(); ++k)
    {
        threads.emplace_back([&, k] {
            waiting.fetch_sub(1);
            while (waiting.load() > 0)
            {
                std::this_thread::yield();
            }
            const auto length = static_cast<std::int32_t>(text.size());
            const std::int32_t size = WideCharToMultiByte(949, BestFit, text.data(), length,
                                                          nullptr, 0, nullptr, nullptr);
            std::string& result = results[k];
            result.assign(static_cast<std::size_t>(std::max(size, 0)), '\0');
            const std::int32_t written = WideCharToMultiByte(949, BestFit, text.data(), length,
                                                             result.data(), size, nullptr, nullptr);
            result.resize(static_cast<std::size_t>(std::max(written, 0)));
            std::wstring& decoded = texts[k];
            decoded.assign(expectedText.size(), L'\0');
            const std::int32_t units = MultiByteToWideChar(
                949, MbPrecomposed, expected.data(), static_cast<std::int32_t>(expected.size()),
                decoded.data(), static_cast<std::int32_t>(decoded.size()));
            decoded.resize(static_cast<std::size_t>(std::max(units, 0)));
        });
    }
    for (std::thread& thread : threads)
    {
        thread.join();
    }
    for (std::size_t k = 0; k < results.size(); ++k)
    {
        EXPECT_EQ(results[k], expected);
        EXPECT_EQ(texts[k], expectedText);
    }
}

// A long text on a double-byte page is counted by its units' lengths, sixteen at a time while
// all map: one- and two-byte codes in any order, and now and then a unit without a mapping or
// one that composes, must give their pieces' bytes end to end.
TEST(PosixCodePages, CountLongDoubleByteTextsByTheirPieces)
{
    const std::wstring pieces[] = {L"a",      L"\x3042", L"\x4E00", L"\xFF76",
                                   L"\x3000", L" ",      L"\xE9",   L"e\x301"};
    std::minstd_rand random(11);
    for (const std::uint32_t page : {932u, 936u})
    {
        for (const std::uint32_t flags : {BestFit, NoBestFit})
        {
            SCOPED_TRACE(testing::Message() << page << " " << flags);
            std::vector<std::string> bytes;
            for (const std::wstring& piece : pieces)
            {
                bytes.push_back(ToNarrow(page, flags, piece, "~"));
            }
            for (int round = 0; round < 8; ++round)
            {
                std::wstring text;
                std::string expected;
                while (text.size() < 5000)
                {
                    // The last two pieces (a default, a composition) one time in forty.
                    const std::size_t piece = random() % 40 == 0 ? 6 + random() % 2 : random() % 6;
                    text += pieces[piece];
                    expected += bytes[piece];
                }
                EXPECT_EQ(ToNarrow(page, flags, text, "~"), expected);
            }
        }
    }
}

// A long text is decoded through a flat table of every two bytes, made from the page's lead
// rows: every pair of every double-byte page, and every byte that leads nothing, must decode
// in one long text as it does alone.
TEST(PosixCodePages, DecodeEveryPairInALongText)
{
    for (const std::uint32_t page : Tolvane::CodePageData::DoubleBytePages)
    {
        SCOPED_TRACE(page);
        std::string bytes;
        std::wstring expected;
        for (unsigned first = 0; first < 0x100; ++first)
        {
            for (unsigned second = 1; second < 0x100; ++second)
            {
                const char pair[] = {static_cast<char>(first), static_cast<char>(second)};
                const std::wstring alone = ToWide(page, MbPrecomposed, {pair, 2});
                // One unit from two bytes: a pair; else the first byte leads nothing.
                const std::size_t taken = alone.size() == 1 ? 2 : second == 1 ? 1 : 0;
                bytes.append(pair, taken);
                expected += alone.substr(0, taken == 0 ? 0 : 1);
            }
        }
        const auto length = static_cast<std::int32_t>(bytes.size());
        std::wstring text(expected.size(), L'\0');
        ASSERT_EQ(MultiByteToWideChar(page, MbPrecomposed, bytes.data(), length, nullptr, 0),
                  static_cast<std::int32_t>(expected.size()));
        ASSERT_EQ(MultiByteToWideChar(page, MbPrecomposed, bytes.data(), length, text.data(),
                                      static_cast<std::int32_t>(text.size())),
                  static_cast<std::int32_t>(expected.size()));
        EXPECT_EQ(text, expected);
    }
}

// A unit without a mapping, or a base that has none but composes into a character that has one,
// anywhere among the units that go eight at a time: the output is the pieces' end to end, and
// the used-default flag tells whether a default was written.
TEST(PosixCodePages, TellDefaultsWhereverTheyStand)
{
    const std::tuple<std::uint32_t, std::uint32_t, wchar_t, std::wstring> cases[] = {
        {1252, NoBestFit, L'\xE9', L"\x4E00"},
        {932, BestFit, L'\x3042', L"\xE01"},
        {932, BestFit, L'\x3042', L"\xFFFF"},
        {862, BestFit, L'\x5D0', L"\xC4\x304"}}; // only the composed character maps
    for (const auto& [page, flags, filler, odd] : cases)
    {
        std::int32_t oddUsed = 0;
        const std::string oddBytes = ToNarrow(page, flags, odd, nullptr, &oddUsed);
        const std::string fillerByte = ToNarrow(page, flags, std::wstring(1, filler));
        for (std::size_t before = 0; before < 26; ++before)
        {
            for (const std::size_t after : {0u, 1u, 2u, 3u, 5u, 7u, 8u, 9u, 30u})
            {
                SCOPED_TRACE(testing::Message() << before << " " << after);
                std::string expected;
                for (std::size_t k = 0; k < before + after; ++k)
                {
                    expected += fillerByte;
                }
                expected.insert(before * fillerByte.size(), oddBytes);
                std::int32_t used = -1;
                EXPECT_EQ(ToNarrow(page, flags,
                                   std::wstring(before, filler) + odd + std::wstring(after, filler),
                                   nullptr, &used),
                          expected);
                EXPECT_EQ(used, oddUsed);
            }
        }
    }
}

} // namespace

// The converter's pieces give the bytes of one whole conversion, at every piece size, for every
// code page the library has here, in both directions; and --strict reports the right position.
#include "StreamConverter.h"
#include "Encodings.h"
#include "support/Messages.h"

#include <Tolvane/Util/StringConversion.h>

#include <gtest/gtest.h>

#include <random>
#include <tuple>

namespace {

using namespace Tolvane::Tool;
using namespace Tolvane::Util::StringConversion;

std::string ToNarrow(const std::wstring& wide, const std::string& encoding)
{
    std::string narrow;
    bool used = false;
    EXPECT_TRUE(Detail::ConvertWStringToString(wide, narrow, "", encoding, DisallowBestFitMapping,
                                               UseSpecifiedDefaultChar, '?', used));
    return narrow;
}

std::wstring ToWide(const std::string& narrow, const std::string& encoding)
{
    std::wstring wide;
    EXPECT_TRUE(Detail::ConvertStringToWString(narrow, wide, encoding, ""));
    return wide;
}

std::string Streamed(const std::string& input, const ConversionSettings& settings)
{
    std::size_t at = 0;
    std::string output;
    StreamConverter(settings).Convert(
        "input",
        [&](char* buffer, std::size_t size) {
            const std::size_t got = input.copy(buffer, size, at);
            at += got;
            return got;
        },
        [&](const char* data, std::size_t size) { output.append(data, size); });
    return output;
}

// Text in `encoding`: its own bytes at random, broken sequences included, between words, line
// ends and combining marks; as UTF-8, with a few characters beyond that code page added.
std::string SampleText(const std::string& encoding, bool asUtf8, std::mt19937& random)
{
    const std::string mark = ToNarrow(L"\x0301", encoding);
    const char* const words[] = {" ", "\r\n", "e", "word ", "a.b", "+-", "+A-", mark.c_str()};
    std::string bytes;
    while (bytes.size() < 600)
    {
        const auto pick = random() % 12;
        bytes += pick < 8 ? std::string(words[pick])
                          : std::string(1, static_cast<char>(0x80 + random() % 0x80));
    }
    if (!asUtf8)
    {
        return bytes;
    }
    std::wstring wide = ToWide(bytes, encoding);
    for (wchar_t c : std::wstring(L"\x0100 e\x0301\x0308 \x221E\x4E00\xFEFF"))
    {
        wide.insert(random() % (wide.size() + 1), 1, c);
    }
    return ToNarrow(wide, "UTF-8");
}

TEST(StreamConverter, PiecesGiveTheWholeConversionForEveryCodePage)
{
    std::vector<std::string> encodings = {"UTF-7"};
    for (const CodePageEntry& page : ListAvailableCodePages())
    {
        if (!page.aliases.empty() && page.number != 65000)
        {
            encodings.push_back(page.libraryName);
        }
    }
    std::mt19937 random(5489);
    for (const std::string& encoding : encodings)
    {
        for (const bool toEncoding : {false, true})
        {
            ConversionSettings settings;
            settings.from = toEncoding ? "UTF-8" : encoding;
            settings.to = toEncoding ? encoding : "UTF-8";
            settings.bom = BomHandling::Keep;
            const std::string input = SampleText(encoding, settings.from == "UTF-8", random);
            const std::string expected = ToNarrow(ToWide(input, settings.from), settings.to);
            for (settings.readSize = 1; settings.readSize <= 7; ++settings.readSize)
            {
                // Cuts where a clean one is found, and then cuts forced at any boundary (which
                // starts a new shifted run in UTF-7 output).
                for (const std::size_t pending : {std::size_t{1} << 20, 3 * settings.readSize})
                {
                    settings.maxPending = settings.to == "UTF-7" ? std::size_t{1} << 20 : pending;
                    ASSERT_EQ(Streamed(input, settings), expected)
                        << settings.from << " to " << settings.to << ", pieces of "
                        << settings.readSize << ", forced after " << pending;
                }
            }
        }
    }
}

TEST(StreamConverter, StrictStopsAtTheFirstProblemWithItsPosition)
{
    // From, to, input, a part of the message.
    const std::tuple<const char*, const char*, std::string, const char*> cases[] = {
        {"UTF-8", "CP1252", "abc d\xC3\xA9\xC4\x80", "byte 7: U+0100 has no exact form in CP1252"},
        {"UTF-8", "UTF-8", "ab \xE2\x82 ", "byte 3 (E2 82, decoded as U+FFFD): invalid UTF-8"},
        {"CP932", "UTF-8", "\x82\xA0 \x81\x20", "byte 3 (81 20"},
    };
    for (const auto& [from, to, input, message] : cases)
    {
        ConversionSettings settings;
        settings.from = from;
        settings.to = to;
        settings.strict = true;
        for (settings.readSize = 1; settings.readSize <= 64; settings.readSize *= 64)
        {
            const std::string stop = Tolvane::Testing::MessageOf<StrictStop>(
                [&, &input = input] { return Streamed(input, settings); });
            EXPECT_NE(stop.find(message), std::string::npos) << stop;
        }
    }
}

} // namespace

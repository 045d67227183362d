// The converter's pieces give the bytes of one whole conversion, at every piece size, for every
// code page the library has here, in both directions; and --strict reports the right position.
#include "StreamConverter.h"
#include "Encodings.h"

#include <Tolvane/Util/StringConversion.h>

#include <gtest/gtest.h>

#include <random>

namespace {

using namespace Tolvane::Tool;
using namespace Tolvane::Util::StringConversion;

std::string Whole(const std::string& input, const ConversionSettings& settings)
{
    std::wstring wide;
    std::string output;
    bool used = false;
    EXPECT_TRUE(Detail::ConvertStringToWString(input, wide, settings.from, ""));
    EXPECT_TRUE(Detail::ConvertWStringToString(
        wide, output, "", settings.to, DisallowBestFitMapping, UseSpecifiedDefaultChar, '?', used));
    return output;
}

std::string Streamed(const std::string& input, const ConversionSettings& settings)
{
    StreamConverter converter(settings);
    std::size_t at = 0;
    std::string output;
    converter.Convert(
        "input",
        [&](char* buffer, std::size_t size) {
            const std::size_t got = std::min(size, input.size() - at);
            input.copy(buffer, got, at);
            at += got;
            return got;
        },
        [&](const char* data, std::size_t size) { output.append(data, size); });
    return output;
}

// Text in `encoding`: its own bytes at random, broken sequences included, between words,
// line ends and combining marks.
std::string SampleBytes(const std::string& encoding, std::mt19937& random)
{
    std::string bytes;
    std::string mark;
    bool used = false;
    Detail::ConvertWStringToString(L"\x0301", mark, "", encoding, DisallowBestFitMapping,
                                   UseSpecifiedDefaultChar, '?', used);
    const char* const words[] = {" ", "\r\n", "e", "word ", "a.b", "+-", "+A-", mark.c_str()};
    while (bytes.size() < 600)
    {
        const auto pick = random() % 12;
        if (pick < 8)
        {
            bytes += words[pick];
        }
        else
        {
            bytes += static_cast<char>(0x80 + random() % 0x80);
        }
    }
    return bytes;
}

std::string SampleUtf8(const std::string& encoding, std::mt19937& random)
{
    std::wstring wide;
    Detail::ConvertStringToWString(SampleBytes(encoding, random), wide, encoding, "");
    for (wchar_t c : std::wstring(L"\x0100 e\x0301\x0308 \x221E\x4E00\xFEFF"))
    {
        wide.insert(random() % (wide.size() + 1), 1, c);
    }
    std::string utf8;
    bool used = false;
    Detail::ConvertWStringToString(wide, utf8, "", "UTF-8", DisallowBestFitMapping,
                                   UseSpecifiedDefaultChar, '?', used);
    return utf8;
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
        const std::pair<std::string, std::string> directions[] = {{encoding, "UTF-8"},
                                                                  {"UTF-8", encoding}};
        for (const auto& direction : directions)
        {
            ConversionSettings settings;
            settings.from = direction.first;
            settings.to = direction.second;
            settings.bom = BomHandling::Keep;
            const std::string input = settings.from == "UTF-8" ? SampleUtf8(encoding, random)
                                                               : SampleBytes(encoding, random);
            const std::string expected = Whole(input, settings);
            for (std::size_t size = 1; size <= 7; ++size)
            {
                settings.readSize = size;
                // Cuts where a clean one is found, and then cuts forced at any boundary (which
                // starts a new shifted run in UTF-7 output).
                for (std::size_t pending : {std::size_t{1} << 20, 3 * size})
                {
                    if (settings.to == "UTF-7" && pending < 1000)
                    {
                        continue;
                    }
                    settings.maxPending = pending;
                    ASSERT_EQ(Streamed(input, settings), expected)
                        << settings.from << " to " << settings.to << ", pieces of " << size
                        << ", forced after " << pending;
                }
            }
        }
    }
}

TEST(StreamConverter, StrictStopsAtTheFirstProblemWithItsPosition)
{
    const struct
    {
        const char* from;
        const char* to;
        std::string input;
        const char* message;
    } cases[] = {
        {"UTF-8", "CP1252", "abc d\xC3\xA9\xC4\x80", "byte 7: U+0100 has no exact form in CP1252"},
        {"UTF-8", "CP1252", "ab \xFF\xC4\x80", "byte 3 (FF, decoded as U+FFFD): invalid UTF-8"},
        {"UTF-8", "UTF-8", "ab \xE2\x82 ", "byte 3 (E2 82, decoded as U+FFFD): invalid UTF-8"},
        {"UTF-8", "CP437", "x\xC4\x80\xFF", "byte 1: U+0100 has no exact form in CP437"},
        {"CP932", "UTF-8", "\x82\xA0 \x81\x20", "byte 3 (81 20"},
    };
    for (const auto& c : cases)
    {
        for (std::size_t size : {std::size_t{1}, std::size_t{64}})
        {
            ConversionSettings settings;
            settings.from = c.from;
            settings.to = c.to;
            settings.strict = true;
            settings.readSize = size;
            try
            {
                Streamed(c.input, settings);
                ADD_FAILURE() << c.message << ": no stop";
            }
            catch (const StrictStop& e)
            {
                EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
            }
        }
    }
}

} // namespace

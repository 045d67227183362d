// Conversion of a stream of any length in pieces of bounded size, with the same bytes as a
// conversion of the whole text in one call.
#pragma once

#include "SourceEncoding.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace Tolvane::Tool {

enum class BomHandling
{
    Keep,  // a leading byte-order mark is converted like any character
    Strip, // a leading byte-order mark of UTF-8 or UTF-7 input is dropped
    Add    // stripped from every input, and one written at the start of the output
};

struct ConversionSettings
{
    std::string from; // the library's encoding names
    std::string to;
    bool bestFit = false;
    bool strict = false;
    bool systemDefaultChar = false;
    char defaultChar = '?';
    BomHandling bom = BomHandling::Strip;
    // Small pieces keep every buffer of a conversion below the allocator's mmap threshold,
    // which halves the time per byte against 64 KB pieces.
    std::size_t readSize = 16 * 1024;
    // A piece grows to this size while no cut of the clean kind turns up (say, a long text
    // without spaces or line ends), then it is cut at any character boundary.
    std::size_t maxPending = 1024 * 1024;
};

// --strict met invalid input or a character without an exact form in the target.
class StrictStop : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class StreamConverter
{
public:
    // Gives up to `size` bytes, 0 at the end; throws std::runtime_error when reading fails.
    using Reader = std::function<std::size_t(char* buffer, std::size_t size)>;
    // Writes all bytes or throws std::runtime_error.
    using Writer = std::function<void(const char* data, std::size_t size)>;

    explicit StreamConverter(const ConversionSettings& settings);

    static bool IsUtf(EncodingKind kind)
    {
        return kind == EncodingKind::Utf8 || kind == EncodingKind::Utf7;
    }
    bool TargetIsUtf() const { return IsUtf(m_TargetKind); }

    // Converts one input, named `inputName` in messages. Throws StrictStop, or
    // std::runtime_error when the library cannot convert the text at all.
    void Convert(const std::string& inputName, const Reader& read, const Writer& write);

    // What went wrong without stopping the run, one line each: characters replaced, invalid
    // input met.
    std::vector<std::string> Report() const;
    bool SawInvalidInput() const { return m_InvalidCount != 0; }

private:
    void ConvertPiece(const std::string& inputName, const char* data, std::size_t size,
                      std::uint64_t offset, bool first, const Writer& write);
    // Units [begin, end) of a piece's decoded text.
    struct UnitRange
    {
        std::size_t begin;
        std::size_t end;
    };
    std::vector<UnitRange> UnitsFromInvalidInput(const char* data, std::size_t size,
                                                 std::size_t invalid,
                                                 std::size_t decodedLength) const;
    std::size_t SourceOffsetOf(const char* data, std::size_t size, std::size_t wideIndex) const;
    bool HasExactForm(unsigned long codePoint);

    ConversionSettings m_Settings;
    EncodingShape m_Source;
    EncodingKind m_TargetKind;
    bool m_BomWritten = false;
    std::vector<unsigned char> m_Exact; // per code point: 0 unknown, 1 exact, 2 not

    std::uint64_t m_ReplacedCount = 0;
    std::string m_FirstReplaced;
    std::uint64_t m_InvalidCount = 0;
    std::string m_FirstInvalid;
};

} // namespace Tolvane::Tool

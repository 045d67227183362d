// What the program knows of an encoding's byte structure, learnt from the library's answers:
// where a long text can be cut so that its pieces convert exactly as the whole would.
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace Tolvane::Tool {

enum class EncodingKind
{
    Utf8,
    Utf7,
    SingleByte,
    DoubleByte
};

class EncodingShape
{
public:
    // Probes the library's conversions of the encoding `libraryName` (which must exist).
    explicit EncodingShape(const std::string& libraryName);

    EncodingKind Kind() const { return m_Kind; }

    // The largest offset p in (0, size) at which `data` (which starts at a character boundary)
    // can be cut: the character before p is complete, the one at p combines with nothing
    // before it, and when `forUtf7Target` the one before p is written directly in UTF-7, so an
    // encoder ends its shifted run there as it would in the whole text. 0 when there is none.
    std::size_t FindCut(const unsigned char* data, std::size_t size, bool forUtf7Target) const;

    // A character boundary as late as possible in `data`, for a piece too long to wait for a
    // cut of FindCut's kind; 0 when there is none (a UTF-7 shifted run).
    std::size_t FindForcedCut(const unsigned char* data, std::size_t size) const;

    // The offset of the first byte (from `from`) that is not valid input, or `size`.
    std::size_t FindInvalid(const unsigned char* data, std::size_t size,
                            std::size_t from = 0) const;

    // The length of the invalid sequence at `at`, 1 to 4 bytes: a broken UTF-8 sequence with
    // its continuation bytes, a broken pair.
    std::size_t InvalidLength(const unsigned char* data, std::size_t size, std::size_t at) const;

    // Whether a decoded text may hold invalid input (a quick test before FindInvalid, which
    // costs a conversion per character for double-byte code pages and a second pass over the
    // bytes for UTF-8).
    bool MayHoldInvalid(const std::wstring& decoded) const;

private:
    bool IsCutBefore(unsigned char next, unsigned char previous, bool forUtf7Target) const;

    std::string m_Name;
    EncodingKind m_Kind = EncodingKind::SingleByte;
    std::array<wchar_t, 256> m_ByteChar{}; // single-byte: what each byte decodes to
    std::array<bool, 256> m_ByteValid{};   // single-byte: the byte survives a round trip
    std::array<bool, 256> m_Lead{};        // double-byte: the byte starts a pair
    wchar_t m_InvalidMark = 0xFFFD;        // double-byte: what a broken pair decodes to
};

// Whether `c` is a combining mark that composition may join to the character before it.
bool IsCombiningMark(unsigned long c);

} // namespace Tolvane::Tool

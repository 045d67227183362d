// What the program knows of an encoding's byte structure, learnt from the library's answers.
#include "SourceEncoding.h"

#include "Utf8Text.h"

#include <Tolvane/Util/StringConversion.h>

namespace Tolvane::Tool {

namespace {

using namespace Util::StringConversion;

std::wstring Decode(const std::string& bytes, const std::string& encoding)
{
    std::wstring wide;
    if (!Detail::ConvertStringToWString(bytes, wide, encoding, ""))
    {
        wide.clear();
    }
    return wide;
}

// The exact encoding of `wide`, or "" when the encoding has no exact form of it.
std::string EncodeExactly(const std::wstring& wide, const std::string& encoding)
{
    std::string narrow;
    bool used = false;
    if (!Detail::ConvertWStringToString(wide, narrow, "", encoding, DisallowBestFitMapping,
                                        UseSpecifiedDefaultChar, '?', used) ||
        used)
    {
        return "";
    }
    return narrow;
}

// Characters that every UTF-7 encoder writes as themselves, so a shifted run ends before them.
bool IsWrittenDirectlyInUtf7(unsigned long c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' ||
           c == '\t' || c == '\r' || c == '\n';
}

bool IsBase64(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' ||
           c == '/';
}

// The code point of the well-formed UTF-8 sequence of `length` bytes at `data`.
unsigned long Utf8CodePoint(const unsigned char* data, std::size_t length)
{
    static const unsigned char leadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    unsigned long c = data[0] & leadMask[length];
    for (std::size_t i = 1; i < length; ++i)
    {
        c = (c << 6) | (data[i] & 0x3Fu);
    }
    return c;
}

} // namespace

bool IsCombiningMark(unsigned long c)
{
    static const unsigned long ranges[][2] = {
        {0x0300, 0x036F}, {0x0483, 0x0489}, {0x0591, 0x05C7}, {0x0610, 0x061A}, {0x064B, 0x065F},
        {0x0670, 0x0670}, {0x06D6, 0x06ED}, {0x0711, 0x0711}, {0x0730, 0x074A}, {0x0900, 0x0903},
        {0x093A, 0x094F}, {0x0951, 0x0957}, {0x0E31, 0x0E31}, {0x0E34, 0x0E3A}, {0x0E47, 0x0E4E},
        {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF}, {0x200C, 0x200D}, {0x20D0, 0x20FF}, {0x302A, 0x302F},
        {0x3099, 0x309A}, {0xFE00, 0xFE0F}, {0xFE20, 0xFE2F}};
    for (const auto& range : ranges)
    {
        if (c >= range[0] && c <= range[1])
        {
            return true;
        }
    }
    return false;
}

EncodingShape::EncodingShape(const std::string& libraryName) : m_Name(libraryName)
{
    if (Decode("\xC3\xA9\xE2\x82\xAC", libraryName) == L"\x00E9\x20AC")
    {
        m_Kind = EncodingKind::Utf8;
        return;
    }
    if (Decode("+AOk-", libraryName) == L"\x00E9")
    {
        m_Kind = EncodingKind::Utf7;
        return;
    }
    bool anyLead = false;
    for (std::size_t b = 0x80; b <= 0xFF; ++b)
    {
        const char lead = static_cast<char>(b);
        m_Lead[b] = Decode(std::string{lead, '\xA1'}, libraryName).size() == 1 ||
                    Decode(std::string{lead, 'A'}, libraryName).size() == 1;
        if (m_Lead[b] && !anyLead)
        {
            const std::wstring broken = Decode(std::string(1, lead), libraryName);
            m_InvalidMark = broken.size() == 1 ? broken[0] : L'\xFFFD';
        }
        anyLead = anyLead || m_Lead[b];
    }
    if (anyLead)
    {
        m_Kind = EncodingKind::DoubleByte;
        return;
    }
    m_Kind = EncodingKind::SingleByte;
    for (std::size_t b = 0; b <= 0xFF; ++b)
    {
        const std::string byte(1, static_cast<char>(b));
        const std::wstring decoded = Decode(byte, libraryName);
        m_ByteChar[b] = decoded.size() == 1 ? decoded[0] : L'\xFFFF';
        m_ByteValid[b] = decoded.size() == 1 && EncodeExactly(decoded, libraryName) == byte;
    }
}

bool EncodingShape::IsCutBefore(unsigned char next, unsigned char previous,
                                bool forUtf7Target) const
{
    switch (m_Kind)
    {
    case EncodingKind::SingleByte:
        return static_cast<unsigned long>(m_ByteChar[next]) < 0x300 &&
               (!forUtf7Target ||
                IsWrittenDirectlyInUtf7(static_cast<unsigned long>(m_ByteChar[previous])));
    case EncodingKind::DoubleByte:
        // No lead or trail byte of any double-byte code page lies below 0x30.
        if (previous >= 0x30 || m_Lead[previous] || next >= 0x80 || m_Lead[next])
        {
            return false;
        }
        break;
    default:
        if (previous >= 0x80 || next >= 0x80)
        {
            return false;
        }
        break;
    }
    return !forUtf7Target || IsWrittenDirectlyInUtf7(previous);
}

std::size_t EncodingShape::FindCut(const unsigned char* data, std::size_t size,
                                   bool forUtf7Target) const
{
    if (m_Kind != EncodingKind::Utf7)
    {
        for (std::size_t p = size == 0 ? 0 : size - 1; p > 0; --p)
        {
            if (IsCutBefore(data[p], data[p - 1], forUtf7Target))
            {
                return p;
            }
        }
        return 0;
    }
    // UTF-7 needs its state from the start: a cut lies between two characters written
    // directly, outside any shifted run.
    std::size_t cut = 0;
    bool shifted = false;
    bool previousDirect = false;
    for (std::size_t i = 0; i < size; ++i)
    {
        const unsigned char c = data[i];
        bool direct = false;
        if (!shifted)
        {
            if (previousDirect && c != '+' && c < 0x80 &&
                IsCutBefore(c, data[i - 1], forUtf7Target))
            {
                cut = i;
            }
            shifted = c == '+';
            direct = !shifted && c < 0x80;
        }
        else if (!IsBase64(c))
        {
            shifted = false;
            direct = c != '-' && c < 0x80;
        }
        previousDirect = direct;
    }
    return cut;
}

std::size_t EncodingShape::FindForcedCut(const unsigned char* data, std::size_t size) const
{
    switch (m_Kind)
    {
    case EncodingKind::Utf8:
        for (std::size_t p = size == 0 ? 0 : size - 1; p > 0; --p)
        {
            if ((data[p] & 0xC0) != 0x80)
            {
                // A sequence cut short by the end of the data may still be a combining mark.
                const std::size_t length = Utf8SequenceLength(data + p, size - p);
                if (length == 0 ? size - p >= 4 : !IsCombiningMark(Utf8CodePoint(data + p, length)))
                {
                    return p;
                }
            }
        }
        return 0;
    case EncodingKind::SingleByte:
        for (std::size_t p = size == 0 ? 0 : size - 1; p > 0; --p)
        {
            if (!IsCombiningMark(static_cast<unsigned long>(m_ByteChar[data[p]])))
            {
                return p;
            }
        }
        return 0;
    case EncodingKind::DoubleByte:
    {
        std::size_t last = 0;
        for (std::size_t i = 0; i < size; i += m_Lead[data[i]] ? 2u : 1u)
        {
            last = i;
        }
        return last;
    }
    default:
        return 0;
    }
}

std::size_t EncodingShape::FindInvalid(const unsigned char* data, std::size_t size,
                                       std::size_t from) const
{
    switch (m_Kind)
    {
    case EncodingKind::Utf8:
        return from + FindInvalidUtf8(reinterpret_cast<const char*>(data) + from, size - from);
    case EncodingKind::SingleByte:
        while (from < size && m_ByteValid[data[from]])
        {
            ++from;
        }
        return from;
    case EncodingKind::DoubleByte:
        while (from < size)
        {
            const std::size_t length = m_Lead[data[from]] ? 2 : 1;
            if (from + length > size)
            {
                return from;
            }
            const std::string piece(reinterpret_cast<const char*>(data) + from, length);
            const std::wstring decoded = Decode(piece, m_Name);
            // A pair that decodes to the mark of broken input but is not the mark's own code.
            if (decoded.empty() || ((decoded[0] == m_InvalidMark || decoded[0] == L'\xFFFD') &&
                                    EncodeExactly(decoded, m_Name) != piece))
            {
                return from;
            }
            from += length;
        }
        return from;
    default:
        while (from < size && data[from] < 0x80)
        {
            ++from;
        }
        return from;
    }
}

std::size_t EncodingShape::InvalidLength(const unsigned char* data, std::size_t size,
                                         std::size_t at) const
{
    std::size_t end = at + 1;
    if (m_Kind == EncodingKind::Utf8)
    {
        while (end < size && end < at + 4 && (data[end] & 0xC0) == 0x80)
        {
            ++end;
        }
    }
    else if (m_Kind == EncodingKind::DoubleByte && m_Lead[data[at]] && end < size)
    {
        ++end;
    }
    return end - at;
}

bool EncodingShape::MayHoldInvalid(const std::wstring& decoded) const
{
    if (m_Kind == EncodingKind::Utf8)
    {
        // Every ill-formed sequence decodes to U+FFFD: text without it needs no validation.
        return decoded.find(L'\xFFFD') != std::wstring::npos;
    }
    if (m_Kind != EncodingKind::DoubleByte)
    {
        return true;
    }
    return decoded.find(m_InvalidMark) != std::wstring::npos ||
           decoded.find(L'\xFFFD') != std::wstring::npos;
}

} // namespace Tolvane::Tool

// A direct UTF-8 codec: ANSI and OEM text is UTF-8 here, so this is the busiest path.
#include "os/posix/Utf8.h"

namespace Tolvane
{
namespace Util
{
namespace Os
{
namespace Posix
{

namespace
{

constexpr char32_t ReplacementCharacter = 0xFFFD;

template <typename Unit>
class Sink
{
public:
    Sink(Unit* output, std::size_t capacity) : m_Output(output), m_Capacity(capacity) {}

    void Put(Unit unit)
    {
        if (m_Count < m_Capacity)
        {
            m_Output[m_Count] = unit;
        }
        ++m_Count;
    }

    std::size_t Count() const { return m_Count; }

private:
    Unit* m_Output;
    std::size_t m_Capacity;
    std::size_t m_Count = 0;
};

bool IsScalarValue(char32_t c)
{
    return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

unsigned char Byte(const char* input, std::size_t index)
{
    return static_cast<unsigned char>(input[index]);
}

// The valid range of the second byte after each lead byte, which rules out overlong forms,
// surrogates and values above U+10FFFF (the Unicode table of well-formed sequences).
struct LeadByte
{
    int trailCount;
    unsigned char secondMin;
    unsigned char secondMax;
};

LeadByte ClassifyLeadByte(unsigned char lead)
{
    if (lead >= 0xC2 && lead <= 0xDF)
    {
        return {1, 0x80, 0xBF};
    }
    if (lead == 0xE0)
    {
        return {2, 0xA0, 0xBF};
    }
    if (lead == 0xED)
    {
        return {2, 0x80, 0x9F};
    }
    if (lead >= 0xE1 && lead <= 0xEF)
    {
        return {2, 0x80, 0xBF};
    }
    if (lead == 0xF0)
    {
        return {3, 0x90, 0xBF};
    }
    if (lead >= 0xF1 && lead <= 0xF3)
    {
        return {3, 0x80, 0xBF};
    }
    if (lead == 0xF4)
    {
        return {3, 0x80, 0x8F};
    }
    return {-1, 0, 0};
}

} // namespace

std::size_t EncodeUtf8(const wchar_t* input, std::size_t length, char* output, std::size_t capacity)
{
    Sink<char> sink(output, capacity);
    for (std::size_t i = 0; i < length; ++i)
    {
        char32_t c = static_cast<char32_t>(input[i]);
        if (!IsScalarValue(c))
        {
            c = ReplacementCharacter;
        }
        if (c < 0x80)
        {
            sink.Put(static_cast<char>(c));
        }
        else if (c < 0x800)
        {
            sink.Put(static_cast<char>(0xC0 | (c >> 6)));
            sink.Put(static_cast<char>(0x80 | (c & 0x3F)));
        }
        else if (c < 0x10000)
        {
            sink.Put(static_cast<char>(0xE0 | (c >> 12)));
            sink.Put(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            sink.Put(static_cast<char>(0x80 | (c & 0x3F)));
        }
        else
        {
            sink.Put(static_cast<char>(0xF0 | (c >> 18)));
            sink.Put(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            sink.Put(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            sink.Put(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return sink.Count();
}

std::size_t DecodeUtf8(const char* input, std::size_t length, wchar_t* output, std::size_t capacity)
{
    Sink<wchar_t> sink(output, capacity);
    std::size_t i = 0;
    while (i < length)
    {
        const unsigned char lead = Byte(input, i);
        if (lead < 0x80)
        {
            sink.Put(static_cast<wchar_t>(lead));
            ++i;
            continue;
        }
        const LeadByte kind = ClassifyLeadByte(lead);
        if (kind.trailCount < 0)
        {
            sink.Put(static_cast<wchar_t>(ReplacementCharacter));
            ++i;
            continue;
        }
        char32_t c = lead & (0x3Fu >> kind.trailCount);
        std::size_t consumed = 1;
        bool complete = true;
        for (int t = 0; t < kind.trailCount; ++t)
        {
            if (i + consumed >= length)
            {
                complete = false;
                break;
            }
            const unsigned char trail = Byte(input, i + consumed);
            const unsigned char min = t == 0 ? kind.secondMin : 0x80;
            const unsigned char max = t == 0 ? kind.secondMax : 0xBF;
            if (trail < min || trail > max)
            {
                complete = false;
                break;
            }
            c = (c << 6) | (trail & 0x3Fu);
            ++consumed;
        }
        // An incomplete sequence is replaced once, and decoding resumes at the byte that
        // broke it (the maximal-subpart rule).
        sink.Put(static_cast<wchar_t>(complete ? c : ReplacementCharacter));
        i += consumed;
    }
    return sink.Count();
}

} // namespace Posix
} // namespace Os
} // namespace Util
} // namespace Tolvane

// A direct UTF-8 codec: ANSI and OEM text is UTF-8 here, so this is the busiest path.
#include "os/posix/Utf8.h"

#include "os/posix/Sinks.h"

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

bool IsScalarValue(char32_t c)
{
    return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

// Decodes the sequence that `lead` (0x80 or above) starts, as Windows does: `next` moves past
// the bytes taken. A bad byte ends the sequence before itself, except that the byte that
// reveals an overlong form, a surrogate or a value above U+10FFFF is taken along; a
// sequence cut short by the end of the input takes the rest of the input. Returns
// InvalidSequence for an ill-formed sequence.
constexpr char32_t InvalidSequence = 0xFFFFFFFF;

char32_t DecodeSequence(unsigned char lead, const char*& next, const char* end)
{
    const std::size_t trailCount = lead >= 0xF0   ? (lead <= 0xF4 ? 3 : 0)
                                   : lead >= 0xE0 ? 2
                                   : lead >= 0xC2 ? 1
                                                  : 0;
    if (static_cast<std::size_t>(end - next) < trailCount)
    {
        next = end;
        return InvalidSequence;
    }
    constexpr unsigned char leadMask[] = {0x7F, 0x1F, 0x0F, 0x07};
    char32_t value = lead & leadMask[trailCount];
    auto trail = [&next](char32_t& bits)
    {
        bits = static_cast<unsigned char>(*next) ^ 0x80u;
        return bits < 0x40;
    };
    char32_t bits = 0;
    switch (trailCount)
    {
    case 3:
        if (!trail(bits))
        {
            return InvalidSequence;
        }
        value = (value << 6) | bits;
        ++next;
        if (value < 0x10)
        {
            return InvalidSequence; // overlong
        }
        [[fallthrough]];
    case 2:
        if (!trail(bits))
        {
            return InvalidSequence;
        }
        value = (value << 6) | bits;
        if (value >= (0x110000 >> 6))
        {
            return InvalidSequence; // above U+10FFFF: this byte stays for the next round
        }
        ++next;
        if (value < 0x20 || (value >= (0xD800 >> 6) && value <= (0xDFFF >> 6)))
        {
            return InvalidSequence; // overlong, or a surrogate
        }
        [[fallthrough]];
    case 1:
        if (!trail(bits))
        {
            return InvalidSequence;
        }
        value = (value << 6) | bits;
        ++next;
        return value < 0x80 ? InvalidSequence : value;
    default:
        return InvalidSequence;
    }
}

} // namespace

std::size_t EncodeUtf8(const wchar_t* input, std::size_t length, char* output, std::size_t capacity,
                       bool* invalid)
{
    CountingSink<char> sink(output, capacity);
    for (std::size_t i = 0; i < length; ++i)
    {
        char32_t c = static_cast<char32_t>(input[i]);
        if (!IsScalarValue(c))
        {
            if (invalid != nullptr)
            {
                *invalid = true;
            }
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

std::size_t DecodeUtf8(const char* input, std::size_t length, wchar_t* output, std::size_t capacity,
                       bool* invalid)
{
    CountingSink<wchar_t> sink(output, capacity);
    const char* next = input;
    const char* const end = input + length;
    while (next != end)
    {
        const auto lead = static_cast<unsigned char>(*next++);
        if (lead < 0x80)
        {
            sink.Put(static_cast<wchar_t>(lead));
            continue;
        }
        const char32_t c = DecodeSequence(lead, next, end);
        if (c == InvalidSequence && invalid != nullptr)
        {
            *invalid = true;
        }
        sink.Put(static_cast<wchar_t>(c == InvalidSequence ? ReplacementCharacter : c));
    }
    return sink.Count();
}

} // namespace Posix
} // namespace Os
} // namespace Util
} // namespace Tolvane

// A UTF-7 codec with Windows' choices, which differ from RFC 2152's optional ones (and ICU's).
#include "os/posix/Utf7.h"

#include "os/posix/Sinks.h"

#include <cstdint>

namespace Tolvane::Util::Os::Posix {

namespace {

constexpr char Base64Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

bool IsDirect(char32_t c)
{
    if (c >= 0x80)
    {
        return false;
    }
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
    {
        return true;
    }
    switch (c)
    {
    case 0:
    case '\t':
    case '\n':
    case '\r':
    case ' ':
    case '\'':
    case '(':
    case ')':
    case ',':
    case '-':
    case '.':
    case '/':
    case ':':
    case '?':
        return true;
    default:
        return false;
    }
}

int Base64Value(unsigned char byte)
{
    if (byte >= 'A' && byte <= 'Z')
    {
        return byte - 'A';
    }
    if (byte >= 'a' && byte <= 'z')
    {
        return byte - 'a' + 26;
    }
    if (byte >= '0' && byte <= '9')
    {
        return byte - '0' + 52;
    }
    return byte == '+' ? 62 : byte == '/' ? 63 : -1;
}

// Calls `put` with the UTF-16 units of `c`.
template <typename Put>
void ForEachUnit(char32_t c, Put put)
{
    if (c > 0x10FFFF)
    {
        put(0xFFFD);
    }
    else if (c >= 0x10000)
    {
        put(0xD7C0 + (c >> 10));
        put(0xDC00 | (c & 0x3FF));
    }
    else
    {
        put(c);
    }
}

} // namespace

std::size_t EncodeUtf7(const wchar_t* input, std::size_t length, char* output, std::size_t capacity)
{
    CountingSink<char> sink(output, capacity);
    std::size_t i = 0;
    while (i < length)
    {
        const auto c = static_cast<char32_t>(input[i]);
        if (c == '+')
        {
            sink.Put('+');
            sink.Put('-');
            ++i;
            continue;
        }
        if (IsDirect(c))
        {
            sink.Put(static_cast<char>(c));
            ++i;
            continue;
        }
        sink.Put('+');
        std::uint32_t bits = 0;
        unsigned bitCount = 0;
        for (; i < length && !IsDirect(static_cast<char32_t>(input[i])); ++i)
        {
            ForEachUnit(static_cast<char32_t>(input[i]), [&](char32_t unit) {
                bits = (bits << 16) | unit;
                bitCount += 16;
                while (bitCount >= 6)
                {
                    bitCount -= 6;
                    sink.Put(Base64Digits[(bits >> bitCount) & 0x3F]);
                }
            });
        }
        if (bitCount != 0)
        {
            sink.Put(Base64Digits[(bits << (6 - bitCount)) & 0x3F]);
        }
        sink.Put('-');
    }
    return sink.Count();
}

std::size_t DecodeUtf7(const char* input, std::size_t length, wchar_t* output, std::size_t capacity)
{
    Utf16ToWideSink sink(output, capacity);
    std::uint32_t bits = 0;
    unsigned bitCount = 0;
    std::size_t i = 0;
    while (i < length)
    {
        const auto byte = static_cast<unsigned char>(input[i++]);
        if (byte != '+')
        {
            sink.Put(byte);
            continue;
        }
        if (i == length)
        {
            break;
        }
        if (input[i] == '-')
        {
            sink.Put('+');
            ++i;
            continue;
        }
        while (i < length)
        {
            const auto next = static_cast<unsigned char>(input[i]);
            if (next == '-')
            {
                ++i;
                bitCount = 0;
                break;
            }
            if (next >= 0x80)
            {
                break; // Windows keeps the unfinished bits here
            }
            const int value = Base64Value(next);
            if (value < 0)
            {
                bitCount = 0;
                break;
            }
            bits = (bits << 6) | static_cast<std::uint32_t>(value);
            bitCount += 6;
            if (bitCount >= 16)
            {
                bitCount -= 16;
                sink.Put((bits >> bitCount) & 0xFFFF);
            }
            ++i;
        }
    }
    return sink.Finish();
}

} // namespace Tolvane::Util::Os::Posix

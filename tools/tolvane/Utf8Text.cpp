// Strict UTF-8 validation, for input that the library would quietly repair.
#include "Utf8Text.h"

#include <cstdint>
#include <cstring>

namespace Tolvane::Tool {

std::size_t Utf8SequenceLength(const unsigned char* data, std::size_t size)
{
    const unsigned char lead = data[0];
    if (lead < 0x80)
    {
        return 1;
    }
    std::size_t length = 0;
    // The second byte's range depends on the lead: it rules out overlong forms, surrogates
    // and values beyond U+10FFFF.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF)
    {
        length = 2;
    }
    else if (lead >= 0xE0 && lead <= 0xEF)
    {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    }
    else if (lead >= 0xF0 && lead <= 0xF4)
    {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    else
    {
        return 0;
    }
    if (size < length || data[1] < low || data[1] > high)
    {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i)
    {
        if (data[i] < 0x80 || data[i] > 0xBF)
        {
            return 0;
        }
    }
    return length;
}

std::size_t FindInvalidUtf8(const char* data, std::size_t size)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    std::size_t i = 0;
    while (i < size)
    {
        // Most text is mostly ASCII: skip it a word at a time.
        std::uint64_t word = 0;
        if (size - i >= sizeof word &&
            (std::memcpy(&word, bytes + i, sizeof word), (word & 0x8080808080808080u) == 0))
        {
            i += sizeof word;
            continue;
        }
        if (bytes[i] < 0x80)
        {
            ++i;
            continue;
        }
        const std::size_t length = Utf8SequenceLength(bytes + i, size - i);
        if (length == 0)
        {
            return i;
        }
        i += length;
    }
    return size;
}

} // namespace Tolvane::Tool

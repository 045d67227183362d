// The table code-page engine: lookups in the generated tables, with an ASCII fast path that
// takes eight characters at a time.
#include "os/posix/TableCodePage.h"

#include <algorithm>
#include <cstring>

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

constexpr std::size_t Run = 8; // characters per step of the ASCII fast path
constexpr std::uint64_t HighBits = 0x8080808080808080u;

// Counts the output without writing it: the sizing call.
template <typename Unit>
class Counter
{
public:
    bool HasRoom(std::size_t) const { return true; }
    bool Full() const { return false; }
    void Put(Unit) { ++m_Count; }
    Unit* Reserve(std::size_t count)
    {
        m_Count += count;
        return nullptr;
    }
    std::size_t Result() const { return m_Count; }

private:
    std::size_t m_Count = 0;
};

// Writes into the caller's buffer and gives up when it is full.
template <typename Unit>
class Writer
{
public:
    Writer(Unit* output, std::size_t capacity)
        : m_Start(output), m_Next(output), m_End(output + capacity)
    {
    }
    bool HasRoom(std::size_t count) const
    {
        return static_cast<std::size_t>(m_End - m_Next) >= count;
    }
    bool Full() const { return m_Overflow; }
    void Put(Unit unit)
    {
        if (m_Next == m_End)
        {
            m_Overflow = true;
            return;
        }
        *m_Next++ = unit;
    }
    Unit* Reserve(std::size_t count) // only after HasRoom(count)
    {
        Unit* const at = m_Next;
        m_Next += count;
        return at;
    }
    std::size_t Result() const
    {
        return static_cast<std::size_t>(m_Next - m_Start) + (m_Overflow ? 1 : 0);
    }

private:
    Unit* m_Start;
    Unit* m_Next;
    Unit* m_End;
    bool m_Overflow = false;
};

std::uint16_t CodeOf(const CodePageTable& page, std::uint32_t unit)
{
    return WideCodes[page.wideBlocks[unit >> WideBlockShift] + (unit & (WideBlockSize - 1))];
}

bool DecodesTo(const CodePageTable& page, std::uint16_t code, std::uint32_t unit)
{
    if (code <= 0xFF)
    {
        return page.narrow[code] == unit;
    }
    const std::uint32_t row = page.leadRows != nullptr ? page.leadRows[code >> 8] : 0;
    return row != 0 && NarrowPairs[row + (code & 0xFF)] == unit;
}

// Whether Windows writes `code` for `unit` rather than the default character.
bool Maps(const CodePageTable& page, bool bestFit, std::uint16_t code, std::uint32_t unit)
{
    return bestFit ? code != page.defaultCode || unit == page.defaultUnicode
                   : DecodesTo(page, code, unit);
}

bool IsCombining(char32_t unit)
{
    return unit < CombiningUnitLimit && (CombiningUnits[unit >> 5] >> (unit & 31) & 1) != 0;
}

char16_t Composed(char32_t first, char32_t second)
{
    const std::uint32_t key = static_cast<std::uint32_t>(first) << 16 | second;
    const CanonicalPair* const end = CanonicalPairs + CanonicalPairCount;
    const CanonicalPair* const found = std::lower_bound(
        CanonicalPairs, end, key,
        [](const CanonicalPair& entry, std::uint32_t value) { return entry.pair < value; });
    return found != end && found->pair == key ? found->composed : u'\0';
}

template <typename Out>
void PutCode(std::uint16_t code, Out& out)
{
    if (code > 0xFF)
    {
        out.Put(static_cast<char>(code >> 8));
    }
    out.Put(static_cast<char>(code & 0xFF));
}

template <typename Out>
class WideEncoder
{
public:
    WideEncoder(const CodePageTable& page, const WideOptions& options, Out& out)
        : m_Page(page), m_BestFit(options.bestFit), m_DefaultChar(options.defaultChar), m_Out(out)
    {
    }

    // One UTF-16 unit.
    void Unit(std::uint32_t unit)
    {
        const std::uint16_t code = CodeOf(m_Page, unit);
        if (Maps(m_Page, m_BestFit, code, unit))
        {
            PutCode(code, m_Out);
        }
        else
        {
            Default();
        }
    }

    // `first` and `second` as one character, when they compose and the page maps the result.
    bool Pair(char32_t first, char32_t second)
    {
        const char16_t composed = Composed(first, second);
        if (composed == 0)
        {
            return false;
        }
        const std::uint16_t code = CodeOf(m_Page, composed);
        if (!Maps(m_Page, m_BestFit, code, composed))
        {
            return false;
        }
        PutCode(code, m_Out);
        return true;
    }

    void Default()
    {
        m_Used = true;
        if (m_DefaultChar != nullptr)
        {
            m_Out.Put(*m_DefaultChar);
        }
        else
        {
            PutCode(m_Page.defaultCode, m_Out);
        }
    }

    bool Used() const { return m_Used; }

private:
    const CodePageTable& m_Page;
    bool m_BestFit;
    const char* m_DefaultChar;
    Out& m_Out;
    bool m_Used = false;
};

// Whether the Run characters at `input` are ASCII and the one after them starts no composition.
bool IsAsciiRun(const wchar_t* input, char32_t composeFrom)
{
    std::uint32_t any = 0;
    for (std::size_t k = 0; k < Run; ++k)
    {
        any |= static_cast<std::uint32_t>(input[k]);
    }
    return any < 0x80 && static_cast<char32_t>(input[Run]) < composeFrom;
}

template <typename Out>
std::size_t FromWide(const CodePageTable& page, const WideOptions& options, const wchar_t* input,
                     std::size_t length, bool& usedDefault, Out out)
{
    WideEncoder<Out> encoder(page, options, out);
    // With the composite check a run stops before a character that a combining one follows.
    const char32_t composeFrom = options.compositeCheck ? LowestCombiningUnit : 0x110000;
    std::size_t i = 0;
    while (i < length && !out.Full())
    {
        const auto c = static_cast<char32_t>(input[i]);
        if (c < 0x80 && page.asciiCompatible)
        {
            if (i + Run < length && out.HasRoom(Run) && IsAsciiRun(input + i, composeFrom))
            {
                if (char* const at = out.Reserve(Run))
                {
                    for (std::size_t k = 0; k < Run; ++k)
                    {
                        at[k] = static_cast<char>(input[i + k]);
                    }
                }
                i += Run;
                continue;
            }
            if (i + 1 == length || static_cast<char32_t>(input[i + 1]) < composeFrom)
            {
                out.Put(static_cast<char>(c));
                ++i;
                continue;
            }
        }
        if (c < 0x10000)
        {
            if (options.compositeCheck && i + 1 < length &&
                IsCombining(static_cast<char32_t>(input[i + 1])) &&
                encoder.Pair(c, static_cast<char32_t>(input[i + 1])))
            {
                i += 2;
                continue;
            }
            encoder.Unit(c);
        }
        else if (c <= 0x10FFFF)
        {
            encoder.Unit(0xD7C0 + (c >> 10));
            encoder.Unit(0xDC00 | (c & 0x3FF));
        }
        else
        {
            encoder.Default();
        }
        ++i;
    }
    usedDefault = encoder.Used();
    return out.Result();
}

template <typename Out>
std::size_t ToWide(const CodePageTable& page, const unsigned char* bytes, std::size_t length,
                   Out out)
{
    std::size_t i = 0;
    while (i < length && !out.Full())
    {
        const unsigned char byte = bytes[i];
        if (byte < 0x80 && page.asciiCompatible)
        {
            std::uint64_t word;
            if (i + Run <= length && out.HasRoom(Run) &&
                (std::memcpy(&word, bytes + i, sizeof word), (word & HighBits) == 0))
            {
                if (wchar_t* const at = out.Reserve(Run))
                {
                    for (std::size_t k = 0; k < Run; ++k)
                    {
                        at[k] = static_cast<wchar_t>(bytes[i + k]);
                    }
                }
                i += Run;
                continue;
            }
            out.Put(static_cast<wchar_t>(byte));
            ++i;
            continue;
        }
        const std::uint32_t row = page.leadRows[byte];
        if (row != 0 && i + 1 < length)
        {
            const std::uint16_t unit = NarrowPairs[row + bytes[i + 1]];
            if (unit != NotAPair)
            {
                out.Put(static_cast<wchar_t>(unit));
                i += 2;
                continue;
            }
        }
        out.Put(static_cast<wchar_t>(page.narrow[byte]));
        ++i;
    }
    return out.Result();
}

} // namespace

const CodePageTable* FindCodePageTable(std::uint32_t codePage)
{
    const CodePageTable* const end = CodePageTables + CodePageTableCount;
    const CodePageTable* const found = std::lower_bound(
        CodePageTables, end, codePage,
        [](const CodePageTable& page, std::uint32_t value) { return page.codePage < value; });
    return found != end && found->codePage == codePage ? found : nullptr;
}

std::size_t TableFromWide(const CodePageTable& page, const WideOptions& options,
                          const wchar_t* input, std::size_t length, bool& usedDefault, char* output,
                          std::size_t capacity)
{
    if (output == nullptr)
    {
        return FromWide(page, options, input, length, usedDefault, Counter<char>());
    }
    return FromWide(page, options, input, length, usedDefault, Writer<char>(output, capacity));
}

std::size_t TableToWide(const CodePageTable& page, const char* input, std::size_t length,
                        wchar_t* output, std::size_t capacity)
{
    const auto* const bytes = reinterpret_cast<const unsigned char*>(input);
    if (page.leadRows == nullptr)
    {
        // One unit per byte.
        if (output != nullptr)
        {
            const std::size_t count = std::min(length, capacity);
            for (std::size_t i = 0; i < count; ++i)
            {
                output[i] = static_cast<wchar_t>(page.narrow[bytes[i]]);
            }
        }
        return length;
    }
    if (output == nullptr)
    {
        return ToWide(page, bytes, length, Counter<wchar_t>());
    }
    return ToWide(page, bytes, length, Writer<wchar_t>(output, capacity));
}

} // namespace Posix
} // namespace Os
} // namespace Util
} // namespace Tolvane

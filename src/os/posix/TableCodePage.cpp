// The table code-page engine: one lookup per unit in the generated tables, in loops that keep
// their state in registers, with an ASCII fast path that takes sixteen characters at a time;
// what the loops cannot take on their own (defaults next to a combining unit, composition,
// units above U+FFFF) goes character by character.
#include "os/posix/TableCodePage.h"

#include "os/posix/AsciiRun.h"
#include "os/posix/CombiningScan.h"
#include "os/posix/FlatPairs.h"
#include "os/posix/FlatRunCodes.h"
#include "os/posix/IdentityBlocks.h"
#include "os/posix/NarrowCount.h"
#include "os/posix/WideRounds.h"

#include <algorithm>

namespace Tolvane::Util::Os::Posix {

namespace {

// The most output units that one input unit can produce, as a power of two: a character above
// U+FFFF is two UTF-16 units, each of which may become a two-byte code (4 bytes); on a
// single-byte page each of those codes and every default character is one byte (2 bytes).
constexpr unsigned MaxBytesPerWideUnitShift = 2;
constexpr unsigned MaxBytesPerWideUnitSingleByteShift = 1;
// The shortest ASCII run that a double-byte decoder copies as a block.
constexpr std::size_t LongAsciiRun = 16;
// The shortest text on a double-byte page that looks its units up in a flat table, whose
// making (once) costs as much as converting some thousands of units through the blocks; and
// the shortest that decodes its pairs from one (FlatPairs.h), for the same reason.
constexpr std::size_t FlatRunMinimum = 4096;
constexpr std::size_t FlatPairsMinimum = 4096;
// The shortest run of wide units that goes through the rounds of eight (WideRounds.h).
constexpr std::size_t MinimumRoundsRun = 16;
// The longest text that first tries the plain loop (PlainPrefix), which needs no setup but
// takes one unit at a time.
constexpr std::size_t PlainPrefixLimit = 32;
// Room kept free past the largest output of a stretch, for UncheckedWriter::PutCode.
constexpr std::size_t SpareUnits = 1;

inline std::size_t CopyAscii(const wchar_t* input, std::size_t length, char* output)
{
    return NarrowAscii(input, length, output);
}

inline std::size_t CopyAscii(const char* input, std::size_t length, wchar_t* output)
{
    return WidenAscii(input, length, output);
}

// The sinks share one interface: Put writes a unit, PutCode a one- or two-byte code; Ascii
// takes the run of ASCII units at the start of the input (at most `length`), writes them
// unchanged and returns their number.

// Tells the compiler which way a test mostly goes, for the layout of a loop around it.
inline bool Likely(bool condition)
{
#if defined(__GNUC__)
    return __builtin_expect(condition, true) != 0;
#else
    return condition;
#endif
}

// Stores a code at `next` and moves past it. Both bytes are stored whatever the code's length,
// which spares a hard-to-predict branch on mixed text; the second store may land one byte past
// the code (hence SpareUnits).
inline void StoreCode(char*& next, std::uint16_t code)
{
    const bool twoBytes = code > 0xFF;
    next[0] = static_cast<char>(twoBytes ? code >> 8 : code);
    next[1] = static_cast<char>(code);
    next += twoBytes ? 2 : 1;
}

// The run-table codes of the two units at `units`, when both map on their own: below U+10000,
// with a code (no default), and neither composing with the unit before it.
inline bool PlainPair(const std::int32_t* bases, const wchar_t* units, std::uint16_t& firstCode,
                      std::uint16_t& secondCode)
{
    const auto first = static_cast<char32_t>(units[0]);
    const auto second = static_cast<char32_t>(units[1]);
    if ((first | second) >= 0x10000)
    {
        return false;
    }
    firstCode = RunCode(bases, first);
    secondCode = RunCode(bases, second);
    return std::max(firstCode, secondCode) < ComposingCode;
}

// Stores a code at `next` when it fits before `end`, writing only its own bytes.
inline bool StoreCodeWithin(char*& next, char* end, std::uint16_t code)
{
    const std::size_t bytes = CodeBytes(code);
    if (bytes > static_cast<std::size_t>(end - next))
    {
        return false;
    }
    next[0] = static_cast<char>(bytes == 2 ? code >> 8 : code);
    next[bytes - 1] = static_cast<char>(code);
    next += bytes;
    return true;
}

// Takes units from the start of the input while each maps on its own: below U+10000 and with
// a code in the run table, so that none takes a default or may compose with the unit before
// it. The unit before the one that stops it is left as well, since the two may compose.
// `put(code)` takes a code, or returns false when there is no room for it. Returns the number
// of units taken.
template <typename Put>
std::size_t PlainPrefix(const std::int32_t* bases, const wchar_t* input, std::size_t length,
                        Put put)
{
    if (length == 0 || static_cast<char32_t>(input[0]) >= 0x10000)
    {
        return 0;
    }
    std::uint16_t code = RunCode(bases, static_cast<char32_t>(input[0]));
    if (code >= ComposingCode)
    {
        return 0;
    }
    std::size_t i = 1;
    // Two units a step while both map on their own; the loop below takes whatever stops it.
    std::uint16_t firstCode = 0;
    std::uint16_t secondCode = 0;
    for (; i + 1 < length && PlainPair(bases, input + i, firstCode, secondCode); i += 2)
    {
        if (!put(code))
        {
            return i - 1;
        }
        if (!put(firstCode))
        {
            return i;
        }
        code = secondCode;
    }
    for (; i < length; ++i)
    {
        const auto unit = static_cast<char32_t>(input[i]);
        if (unit >= 0x10000)
        {
            return i - 1;
        }
        const std::uint16_t next = RunCode(bases, unit);
        if (next >= ComposingCode || !put(code))
        {
            return i - 1;
        }
        code = next;
    }
    return put(code) ? length : length - 1;
}

// PlainPrefix with the output counted (`output` null) or written: its units and, in
// `produced`, their bytes. Where every code is one byte, or the room holds two for each unit,
// the room needs no test.
std::size_t PlainUnits(const CodePageTable& page, const std::int32_t* bases, const wchar_t* input,
                       std::size_t length, char* output, std::size_t capacity,
                       std::size_t& produced)
{
    const bool singleByte = page.leadRows == nullptr;
    std::size_t taken = 0;
    if (output == nullptr && singleByte)
    {
        taken = PlainPrefix(bases, input, length, [](std::uint16_t) { return true; });
        produced = taken;
        return taken;
    }
    if (output == nullptr)
    {
        std::size_t count = 0;
        taken = PlainPrefix(bases, input, length, [&count](std::uint16_t code) {
            count += CodeBytes(code);
            return true;
        });
        produced = count;
        return taken;
    }
    char* next = output;
    if (singleByte && capacity >= length)
    {
        taken = PlainPrefix(bases, input, length, [&next](std::uint16_t code) {
            *next++ = static_cast<char>(code);
            return true;
        });
    }
    else if (capacity >= 2 * length)
    {
        taken = PlainPrefix(bases, input, length, [&next](std::uint16_t code) {
            StoreCode(next, code);
            return true;
        });
    }
    else
    {
        char* const end = output + capacity;
        taken = PlainPrefix(bases, input, length, [&next, end](std::uint16_t code) {
            return StoreCodeWithin(next, end, code);
        });
    }
    produced = static_cast<std::size_t>(next - output);
    return taken;
}

// The units that map on their own at the start of a short text, counted (`output` null) or
// written: their number and, in `produced`, their bytes. On a single-byte page, blocks of
// units that stand for the bytes of their own values go first (on a double-byte page, whose
// short texts seldom start with sixteen such units, the test would mostly cost time); the
// rest go one unit at a time.
std::size_t PlainPrefixOf(const CodePageTable& page, const std::int32_t* bases,
                          const wchar_t* input, std::size_t length, char* output,
                          std::size_t capacity, std::size_t& produced)
{
    const std::size_t blocks = page.leadRows == nullptr
                                   ? IdentityBlocks(page.identityBits, input, length,
                                                    output == nullptr ? length : capacity, output)
                                   : 0;
    if (blocks == length)
    {
        produced = blocks;
        return blocks;
    }
    std::size_t roundBytes = 0;
    const std::size_t rounds =
        PlainRounds(bases, page.leadRows == nullptr, input + blocks, length - blocks,
                    output == nullptr ? 0 : capacity - blocks,
                    output == nullptr ? nullptr : output + blocks, roundBytes);
    const std::size_t done = blocks + rounds;
    const std::size_t doneBytes = blocks + roundBytes;
    if (done == length)
    {
        produced = doneBytes;
        return done;
    }
    const std::size_t units = PlainUnits(page, bases, input + done, length - done,
                                         output == nullptr ? nullptr : output + doneBytes,
                                         output == nullptr ? 0 : capacity - doneBytes, produced);
    produced += doneBytes;
    return done + units;
}

// Counts the output without writing it: the sizing call.
template <typename Unit>
class Counter
{
public:
    void Put(Unit) { ++m_Count; }
    void PutCode(std::uint16_t code) { m_Count += CodeBytes(code); }
    template <typename Source>
    std::size_t Ascii(const Source* input, std::size_t length)
    {
        const std::size_t count = CountAscii(input, length);
        m_Count += count;
        return count;
    }
    void Add(std::size_t count) { m_Count += count; }
    std::size_t Result() const { return m_Count; }

private:
    std::size_t m_Count = 0;
};

// Writes without looking at the room: used only on a stretch of input whose largest possible
// output fits, which saves a test per unit and lets ASCII runs go at SIMD speed.
template <typename Unit>
class UncheckedWriter
{
public:
    explicit UncheckedWriter(Unit* next) : m_Next(next) {}
    void Put(Unit unit) { *m_Next++ = unit; }
    void PutCode(std::uint16_t code) { StoreCode(m_Next, code); }
    template <typename Source>
    std::size_t Ascii(const Source* input, std::size_t length)
    {
        const std::size_t count = CopyAscii(input, length, m_Next);
        m_Next += count;
        return count;
    }
    Unit* Next() const { return m_Next; }
    void Advance(Unit* next) { m_Next = next; }

private:
    Unit* m_Next;
};

// Writes into the caller's buffer and gives up when it is full; it takes the last few input
// units, where the room might not hold the largest output.
template <typename Unit>
class Writer
{
public:
    Writer(Unit* output, std::size_t capacity)
        : m_Start(output), m_Next(output), m_End(output + capacity)
    {
    }
    void Put(Unit unit)
    {
        if (m_Next == m_End)
        {
            m_Overflow = true;
            return;
        }
        *m_Next++ = unit;
    }
    template <typename Source>
    std::size_t Ascii(const Source*, std::size_t)
    {
        return 0; // every unit goes through Put, which checks the room
    }
    void PutCode(std::uint16_t code)
    {
        if (code > 0xFF)
        {
            Put(static_cast<char>(code >> 8));
        }
        Put(static_cast<char>(code & 0xFF));
    }
    // What fits of `count` units, which fill the room when there are more.
    void Append(const Unit* units, std::size_t count)
    {
        const std::size_t fits = std::min(count, Room());
        std::copy(units, units + fits, m_Next);
        m_Next += fits;
        m_Overflow = m_Overflow || fits < count;
    }
    bool Full() const { return m_Overflow; }
    std::size_t Room() const { return static_cast<std::size_t>(m_End - m_Next); }
    Unit* Next() const { return m_Next; }
    void Advance(Unit* next) { m_Next = next; }
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

// Only the checking writer can fill up.
template <typename Out>
bool IsFull(const Out&)
{
    return false;
}

template <typename Unit>
bool IsFull(const Writer<Unit>& out)
{
    return out.Full();
}

// Feeds `convert(i, stop, sink)` stretches of input from `start`, each into an unchecked writer
// when the room holds the most that the stretch can produce, otherwise one unit at a time into the
// checking writer; returns the units of the whole conversion as Writer::Result gives them.
// Once the rest of the input is short enough, it goes whole into a local buffer and is copied
// from there: the room left could not hold its largest output, and many short stretches would
// cost more than the copy (a short text takes this way from the start).
template <typename Unit, typename Convert>
std::size_t WriteInStretches(Unit* output, std::size_t capacity, std::size_t start,
                             std::size_t length, unsigned maxPerUnitShift, Convert convert)
{
    constexpr std::size_t TailUnits = 256 / sizeof(Unit);
    const std::size_t tailLength = (TailUnits - SpareUnits) >> maxPerUnitShift;
    Writer<Unit> writer(output, capacity);
    std::size_t i = start;
    while (i < length && !writer.Full())
    {
        const std::size_t room = writer.Room();
        const std::size_t stretch =
            room > SpareUnits ? std::min(length - i, (room - SpareUnits) >> maxPerUnitShift) : 0;
        if (stretch < length - i && length - i <= tailLength)
        {
            Unit tail[TailUnits];
            UncheckedWriter<Unit> fast(tail);
            i = convert(i, length, fast);
            writer.Append(tail, static_cast<std::size_t>(fast.Next() - tail));
            break;
        }
        if (stretch == 0)
        {
            i = convert(i, i + 1, writer);
            continue;
        }
        UncheckedWriter<Unit> fast(writer.Next());
        i = convert(i, i + stretch, fast);
        writer.Advance(fast.Next());
    }
    return writer.Result();
}

// Set up once, at load time.
const PlainBlockTest PlainBlocks;

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

class WideEncoder
{
public:
    WideEncoder(const CodePageTable& page, const WideOptions& options, const wchar_t* input,
                std::size_t length)
        : m_Page(page), m_Input(input), m_Length(length),
          // Without best fit the look-alikes are already NoCode in these tables, so one lookup
          // and one comparison decide every unit in both modes.
          m_Blocks(options.bestFit ? page.wideBlocks : page.exactBlocks),
          m_RunBases(options.bestFit ? page.wideRunBases : page.exactRunBases),
          // With the composite check an ASCII character that a combining one follows may
          // compose with it, so it leaves the ASCII run.
          m_ComposeFrom(options.compositeCheck ? LowestCombiningUnit : 0x110000),
          m_AsciiBlocks(page.asciiCompatible && m_ComposeFrom >= 0x80),
          m_DefaultOutput(options.defaultChar != nullptr
                              ? static_cast<unsigned char>(*options.defaultChar)
                              : page.defaultCode),
          m_FlatRun(page.leadRows != nullptr && length >= FlatRunMinimum
                        ? FlatRunCodes(page, options.bestFit)
                        : FlatRun{nullptr, nullptr}),
          m_UnitsPerStart((HasSse41() ? 256 : 16) * AsciiBlockUnits)
    {
    }

    // A block of sixteen units that is all ASCII goes at once; other text goes through the
    // run loops. The rounds of eight hand back a run of sixteen ASCII units that they meet, so
    // where they run the loops take up to 4,096 units at a start; without them, the unit loops
    // would take a long ASCII run one unit at a time, so they take 256 and the block test comes
    // again.
    template <typename Out>
    std::size_t Convert(std::size_t i, std::size_t stop, Out& out)
    {
        while (i < stop && !IsFull(out))
        {
            if (m_AsciiBlocks && stop - i >= AsciiBlockUnits && IsAsciiBlock(m_Input + i))
            {
                std::size_t run = AsciiBlockUnits;
                if (i + run < m_Length && static_cast<char32_t>(m_Input[i + run]) >= m_ComposeFrom)
                {
                    --run; // the last one may compose with what follows
                }
                i += out.Ascii(m_Input + i, run);
                continue;
            }
            i = Units(i, std::min(stop, i + m_UnitsPerStart), out);
        }
        return i;
    }

    bool Used() const { return m_Used; }

private:
    static std::uint16_t CodeOf(const std::uint16_t* blocks, char32_t unit)
    {
        return WideCodes[(std::size_t{blocks[unit >> WideBlockShift]} << WideBlockShift) +
                         (unit & (WideBlockSize - 1))];
    }

    template <typename Out>
    std::size_t Units(std::size_t i, std::size_t stop, Out& out)
    {
        while (i < stop && !IsFull(out))
        {
            i = MappedRun(i, stop, out);
            if (m_AsciiAhead)
            {
                m_AsciiAhead = false;
                break; // for Convert to copy
            }
            if (i < stop)
            {
                i = Character(i, out);
            }
        }
        return i;
    }

    // What the rounds of eight look up in, made when a run is long enough for them.
    RoundTables RoundTablesOf() const
    {
        return {m_RunBases,
                m_FlatRun.codes,
                m_FlatRun.lengths,
                m_DefaultOutput,
                m_Page.leadRows == nullptr,
                m_AsciiBlocks};
    }

    // Runs of the common units: below U+10000 and composing with neither neighbour, whether
    // they map or take the default character. They go through a loop that keeps everything in
    // registers (a store through char* could otherwise alias the encoder's fields and force
    // reloads). Returns where the first other unit, which the caller takes, stands.
    template <typename Out>
    std::size_t MappedRun(std::size_t i, std::size_t, Out&)
    {
        return i; // the checking writer takes every unit on its own
    }

    std::size_t MappedRun(std::size_t i, std::size_t stop, UncheckedWriter<char>& out)
    {
        char* next = out.Next();
        const auto rounds = [this, &next](std::size_t at, std::size_t end, std::uint16_t& code,
                                          RoundDefaults& defaults) {
            return WriteRounds(RoundTablesOf(), m_Input, at, end, code, defaults, next);
        };
        if (m_Page.leadRows == nullptr)
        {
            i = UnitRun<true>(
                i, stop, [&next](std::uint16_t code) { *next++ = static_cast<char>(code); },
                rounds);
        }
        else
        {
            i = UnitRun<false>(
                i, stop, [&next](std::uint16_t code) { StoreCode(next, code); }, rounds);
        }
        out.Advance(next);
        return i;
    }

    std::size_t MappedRun(std::size_t i, std::size_t stop, Counter<char>& out)
    {
        std::size_t count = 0;
        const auto rounds = [this, &count](std::size_t at, std::size_t end, std::uint16_t& code,
                                           RoundDefaults& defaults) {
            return CountRounds(RoundTablesOf(), m_Input, at, end, code, defaults, count);
        };
        if (m_Page.leadRows == nullptr && m_Used)
        {
            i = CountedRun(i, stop, count);
        }
        else if (m_Page.leadRows == nullptr)
        {
            i = UnitRun<true>(
                i, stop, [&count](std::uint16_t) { ++count; }, rounds);
        }
        else
        {
            i = UnitRun<false>(
                i, stop, [&count](std::uint16_t code) { count += CodeBytes(code); }, rounds);
        }
        out.Add(count);
        return i;
    }

    // Each unit is looked up once, in the run table, before the one ahead of it is written. A
    // unit without a mapping is written as the default character within the run; a unit that
    // may compose with the one before it ends the run, and the caller takes that one through
    // Character.
    // `rounds` first takes what it can eight units at a time (see WideRounds.h) and leaves the
    // rest to the loops here.
    template <bool TwoARound, typename Put, typename Rounds>
    std::size_t UnitRun(std::size_t i, std::size_t stop, Put put, Rounds rounds)
    {
        const wchar_t* const input = m_Input;
        const std::int32_t* const bases = m_RunBases;
        // A unit is written only once the next one has been seen, so the last unit of the
        // input is left to the caller.
        const std::size_t end = std::min(stop, m_Length - 1);
        if (i >= end || static_cast<char32_t>(input[i]) >= 0x10000)
        {
            return i;
        }
        // The last unit that the run took as a default, and whether a default had been used
        // before it: when the run stops just before that unit, the caller decides whether it
        // composes with the next one, so the default is not yet certain. Kept in the encoder
        // rather than in registers, which the loops below need.
        m_RunDefaultAt = m_Length;
        const auto takeDefault = [this](std::size_t at) {
            m_RunDefaultAt = at;
            m_UsedBeforeRunDefault = m_Used;
            m_Used = true;
            return m_DefaultOutput;
        };
        const auto stopped = [this](std::size_t at) {
            if (at == m_RunDefaultAt)
            {
                m_Used = m_UsedBeforeRunDefault;
            }
            return at;
        };
        // Whether the first unit composes with the one before it has been decided already, so
        // its code comes from the full table.
        std::uint16_t code = CodeOf(m_Blocks, static_cast<char32_t>(input[i]));
        if (code == NoCode)
        {
            code = takeDefault(i);
        }
        for (;;)
        {
            // Rounds only for runs of some length, which repay the call.
            if (end - i >= MinimumRoundsRun)
            {
                const std::size_t before = i;
                RoundDefaults defaults;
                i = rounds(i, end, code, defaults);
                if (i != before)
                {
                    m_Used = m_Used || defaults.written;
                    if (defaults.pending)
                    {
                        takeDefault(i);
                    }
                }
                if (defaults.asciiAhead)
                {
                    // The next unit starts a long ASCII run, which Convert copies.
                    m_AsciiAhead = true;
                    put(code);
                    return i + 1;
                }
            }
            // On a single-byte page, two units a round while both map, which halves the loop's
            // own work (on a double-byte page the two variable-length writes made it slower);
            // the one-unit loop below takes whatever stops it.
            std::uint16_t firstCode = 0;
            std::uint16_t secondCode = 0;
            for (; TwoARound && i + 2 <= end &&
                   PlainPair(bases, input + i + 1, firstCode, secondCode);
                 i += 2)
            {
                put(code);
                put(firstCode);
                code = secondCode;
            }
            char32_t next = 0;
            for (; i < end; ++i)
            {
                next = static_cast<char32_t>(input[i + 1]);
                if (next >= 0x10000)
                {
                    return stopped(i);
                }
                const std::uint16_t nextCode = RunCode(bases, next);
                if (nextCode >= ComposingCode)
                {
                    break;
                }
                put(code);
                code = nextCode;
            }
            // The unit at i + 1 has no mapping, or may compose with the unit at i and so ends
            // the run.
            if (i == end || MayCompose(next))
            {
                return stopped(i);
            }
            // Its code from the full table, which differs for a combining unit when nothing
            // composes (and which keeps the loop above from holding the run table's code).
            put(code);
            code = CodeOf(m_Blocks, next);
            code = code == NoCode ? takeDefault(i + 1) : code;
            ++i;
        }
    }

    // On a single-byte page every unit below U+10000 gives one byte, whatever it maps to. Once a
    // default character has been used, the lookups have nothing left to tell the sizing pass:
    // only a unit that may compose with the one before it, or one above U+FFFF, stops the count.
    std::size_t CountedRun(std::size_t i, std::size_t stop, std::size_t& count) const
    {
        const wchar_t* const input = m_Input;
        const char32_t checkFrom = std::min<char32_t>(m_ComposeFrom, 0x10000);
        const std::size_t end = std::min(stop, m_Length - 1);
        if (i >= end || static_cast<char32_t>(input[i]) >= 0x10000)
        {
            return i;
        }
        const std::size_t start = i;
        // With the composite check, eight units at a time while a coarse test rules them all
        // out; the units of a block that it cannot rule out are looked at one by one.
        const bool blocks = m_ComposeFrom == LowestCombiningUnit;
        while (i < end)
        {
            while (blocks && end - i >= PlainBlockUnits &&
                   PlainBlocks.CertainlyPlain(input + i + 1))
            {
                i += PlainBlockUnits;
            }
            for (const std::size_t blockEnd = std::min(end, i + PlainBlockUnits); i < blockEnd; ++i)
            {
                const auto next = static_cast<char32_t>(input[i + 1]);
                if (next >= checkFrom && (next >= 0x10000 || MayCompose(next)))
                {
                    count += i - start;
                    return i;
                }
            }
        }
        count += i - start;
        return i;
    }

    bool MayCompose(char32_t unit) const { return unit >= m_ComposeFrom && IsCombining(unit); }

    // The character at `i`; returns where the next one starts.
    template <typename Out>
    std::size_t Character(std::size_t i, Out& out)
    {
        const auto c = static_cast<char32_t>(m_Input[i]);
        if (c < 0x10000)
        {
            if (MayComposeWithNext(i) && Pair(c, static_cast<char32_t>(m_Input[i + 1]), out))
            {
                return i + 2;
            }
            Unit(c, out);
        }
        else if (c <= 0x10FFFF)
        {
            Unit(0xD7C0 + (c >> 10), out);
            Unit(0xDC00 | (c & 0x3FF), out);
        }
        else
        {
            Default(out);
        }
        return i + 1;
    }

    bool MayComposeWithNext(std::size_t i) const
    {
        if (i + 1 >= m_Length)
        {
            return false;
        }
        return MayCompose(static_cast<char32_t>(m_Input[i + 1]));
    }

    // One UTF-16 unit.
    template <typename Out>
    void Unit(char32_t unit, Out& out)
    {
        const std::uint16_t code = CodeOf(m_Blocks, unit);
        if (code != NoCode)
        {
            out.PutCode(code);
        }
        else
        {
            Default(out);
        }
    }

    // `first` and `second` as one character, when they compose and the page maps the result.
    template <typename Out>
    bool Pair(char32_t first, char32_t second, Out& out)
    {
        const char16_t composed = Composed(first, second);
        if (composed == 0)
        {
            return false;
        }
        const std::uint16_t code = CodeOf(m_Blocks, composed);
        if (code == NoCode)
        {
            return false;
        }
        out.PutCode(code);
        return true;
    }

    template <typename Out>
    void Default(Out& out)
    {
        m_Used = true;
        out.PutCode(m_DefaultOutput);
    }

    const CodePageTable& m_Page;
    const wchar_t* m_Input;
    std::size_t m_Length;
    const std::uint16_t* m_Blocks;
    const std::int32_t* m_RunBases;
    char32_t m_ComposeFrom;
    bool m_AsciiBlocks;
    // What the default character writes, as a code.
    std::uint16_t m_DefaultOutput;
    // For long text on a double-byte page, the run table as one array; else null.
    FlatRun m_FlatRun;
    // The most units that the run loops take at one start (see Convert).
    std::size_t m_UnitsPerStart;
    bool m_Used = false;
    // A run stopped before a long ASCII run.
    bool m_AsciiAhead = false;
    // See UnitRun.
    std::size_t m_RunDefaultAt = 0;
    bool m_UsedBeforeRunDefault = false;
};

// Converts the bytes of a double-byte page.
class NarrowDecoder
{
public:
    NarrowDecoder(const CodePageTable& page, const unsigned char* bytes, std::size_t length)
        : m_Page(page), m_Bytes(bytes), m_Length(length),
          m_FlatPairs(length >= FlatPairsMinimum ? FlatPairs(page) : nullptr)
    {
    }

    template <typename Out>
    std::size_t Convert(std::size_t i, std::size_t stop, Out& out)
    {
        while (i < stop && !IsFull(out))
        {
            // Text on a double-byte page mostly has short ASCII runs (a space, a digit), so the
            // block copy is tried only where a long run may start.
            if (LongAsciiRunMayStart(i, stop))
            {
                const std::size_t run =
                    out.Ascii(reinterpret_cast<const char*>(m_Bytes + i), stop - i);
                if (run != 0)
                {
                    i += run;
                    continue;
                }
            }
            i = Run(i, stop, out);
        }
        return i;
    }

private:
    bool LongAsciiRunMayStart(std::size_t i, std::size_t stop) const
    {
        return m_Bytes[i] < 0x80 && m_Page.asciiCompatible && stop - i >= LongAsciiRun &&
               m_Bytes[i + LongAsciiRun - 1] < 0x80;
    }

    // The checking writer takes one character at a time.
    template <typename Out>
    std::size_t Run(std::size_t i, std::size_t, Out& out)
    {
        return UnitRun(i, i + 1,
                       [&out](std::uint16_t unit) { out.Put(static_cast<wchar_t>(unit)); });
    }

    std::size_t Run(std::size_t i, std::size_t stop, UncheckedWriter<wchar_t>& out)
    {
        wchar_t* next = out.Next();
        const auto put = [&next](std::uint16_t unit) { *next++ = static_cast<wchar_t>(unit); };
        if (m_FlatPairs != nullptr)
        {
            const std::uint16_t* const flat = m_FlatPairs;
            i = UnitRun(i, stop, put,
                        [flat](const unsigned char* two) { return flat[FlatPairIndex(two)]; });
        }
        else
        {
            i = UnitRun(i, stop, put);
        }
        out.Advance(next);
        return i;
    }

    // Characters from `i` (at least one) until `stop` or a place where a long ASCII run may
    // start, with the tables in registers. A lead byte takes the next byte along when the two
    // form a pair, also past `stop`: the pair still gives one unit. Below pairEnd each byte has
    // a next one, and the two are looked up together whether or not the first leads (row 0
    // holds no pairs): the loop tests neither. A long ASCII run is looked for only after an
    // ASCII byte, which the loop decodes itself, so that a pair costs no such test.
    // `pairOf(two)` gives the pair that the two bytes at `two` form, or NotAPair.
    template <typename Put>
    std::size_t UnitRun(std::size_t i, std::size_t stop, Put put) const
    {
        const std::uint32_t* const leadRows = m_Page.leadRows;
        return UnitRun(i, stop, put, [leadRows](const unsigned char* two) {
            return NarrowPairs[leadRows[two[0]] + two[1]];
        });
    }

    template <typename Put, typename PairOf>
    std::size_t UnitRun(std::size_t i, std::size_t stop, Put put, PairOf pairOf) const
    {
        const unsigned char* const bytes = m_Bytes;
        const std::uint16_t* const narrow = m_Page.narrow;
        const std::size_t pairEnd = std::min(stop, m_Length - 1);
        while (i < pairEnd)
        {
            std::uint16_t pair = pairOf(bytes + i);
            if (Likely(pair != NotAPair))
            {
                // The pairs in a row, in a loop whose test comes last: its first instruction
                // is where it is aligned.
                do
                {
                    put(pair);
                    i += 2;
                } while (i < pairEnd && (pair = pairOf(bytes + i)) != NotAPair);
                continue;
            }
            const unsigned char byte = bytes[i];
            put(narrow[byte]);
            ++i;
            if (byte < 0x80 && i < pairEnd && LongAsciiRunMayStart(i, stop))
            {
                return i;
            }
        }
        // The text's last byte decodes alone.
        if (i < stop)
        {
            put(narrow[bytes[i]]);
            ++i;
        }
        return i;
    }

    const CodePageTable& m_Page;
    const unsigned char* m_Bytes;
    std::size_t m_Length;
    // For long text, the page's pairs as one array; else null.
    const std::uint16_t* m_FlatPairs;
};

// What the plain loops left of a text: from `start`, after `plainOutput` bytes. A function of
// its own, so that a short text that the loops take whole does not pay for its frame.
[[gnu::noinline]] std::size_t EncodeFrom(const CodePageTable& page, const WideOptions& options,
                                         const wchar_t* input, std::size_t length,
                                         std::size_t start, std::size_t plainOutput,
                                         bool& usedDefault, char* output, std::size_t capacity)
{
    WideEncoder encoder(page, options, input, length);
    std::size_t result = plainOutput;
    if (output == nullptr)
    {
        Counter<char> counter;
        encoder.Convert(start, length, counter);
        result += counter.Result();
    }
    else
    {
        const unsigned maxPerUnitShift = page.leadRows == nullptr
                                             ? MaxBytesPerWideUnitSingleByteShift
                                             : MaxBytesPerWideUnitShift;
        result += WriteInStretches(output + plainOutput, capacity - plainOutput, start, length,
                                   maxPerUnitShift,
                                   [&encoder](std::size_t i, std::size_t stop, auto& out) {
                                       return encoder.Convert(i, stop, out);
                                   });
    }
    usedDefault = encoder.Used();
    return result;
}

} // namespace

std::size_t TableFromWide(const CodePageTable& page, const WideOptions& options,
                          const wchar_t* input, std::size_t length, bool& usedDefault, char* output,
                          std::size_t capacity)
{
    // A short text mostly maps unit by unit, and then the plain loop takes all of it; the
    // encoder takes over where it stops. No unit that the loop took used a default.
    std::size_t start = 0;
    std::size_t plainOutput = 0;
    if (length <= PlainPrefixLimit)
    {
        start = PlainPrefixOf(page, options.bestFit ? page.wideRunBases : page.exactRunBases, input,
                              length, output, capacity, plainOutput);
        if (start == length)
        {
            usedDefault = false;
            return plainOutput;
        }
    }
    return EncodeFrom(page, options, input, length, start, plainOutput, usedDefault, output,
                      capacity);
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
        return CountDoubleByteCharacters(page, bytes, length);
    }
    NarrowDecoder decoder(page, bytes, length);
    // Each byte gives at most one unit.
    return WriteInStretches(output, capacity, 0, length, 0,
                            [&decoder](std::size_t i, std::size_t stop, auto& out) {
                                return decoder.Convert(i, stop, out);
                            });
}

} // namespace Tolvane::Util::Os::Posix

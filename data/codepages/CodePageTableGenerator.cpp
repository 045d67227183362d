// Builds the POSIX backend's code-page tables (C++ source) from Windows' recorded answers.
//
// Usage: CodePageTableGenerator <dump folder> <output .cpp>
//
// Each page's tables come from its dumps alone: `mb` gives every byte and byte pair,
// `wc-0x220` every unit's code with best fit allowed, `wc-0x220-system-default` the page's
// default character, and `wc-0x620` is checked against the rule that the engine applies (a
// code is exact when it decodes back to its unit). `unicode.compose` gives the canonical pairs.
// Data that the tables cannot express stops the build with a message.
#include "WindowsCodePages.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr unsigned WideBlockShift = 7; // as in src/os/posix/CodePageTables.h
constexpr std::size_t WideBlockSize = std::size_t{1} << WideBlockShift;
constexpr unsigned CodePageSlotBits = 9;      // as in src/os/posix/CodePageTables.h
constexpr std::size_t CombiningSpanCount = 6; // as in src/os/posix/CodePageTables.h
constexpr std::uint16_t NotAPair = 0xFFFF;
constexpr std::uint16_t NoCode = 0xFFFF;        // as in src/os/posix/CodePageTables.h
constexpr std::uint16_t ComposingCode = 0xFFFE; // as in src/os/posix/CodePageTables.h
constexpr unsigned char FailedRecord = 0xFF;

using Tolvane::CodePageData::DoubleBytePages;

struct Failure
{
    std::string what;
};

[[noreturn]] void Fail(const std::string& what)
{
    throw Failure{what};
}

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
    {
        Fail("cannot read " + path);
    }
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The records of one dump: each the bytes after its length byte; a failed call is absent.
std::vector<std::string> ReadRecords(const std::string& path, std::size_t count)
{
    const std::string data = ReadFile(path);
    std::vector<std::string> records;
    std::size_t position = 0;
    while (records.size() < count)
    {
        if (position >= data.size())
        {
            Fail(path + ": ends early");
        }
        const auto head = static_cast<unsigned char>(data[position++]);
        if (head == FailedRecord || position + head > data.size())
        {
            Fail(path + ": a call failed or the data ends inside a record");
        }
        records.push_back(data.substr(position, head));
        position += head;
    }
    return records;
}

std::vector<std::uint16_t> Units(const std::string& record)
{
    std::vector<std::uint16_t> units;
    for (std::size_t i = 0; i + 1 < record.size(); i += 2)
    {
        units.push_back(static_cast<std::uint16_t>(static_cast<unsigned char>(record[i]) |
                                                   static_cast<unsigned char>(record[i + 1]) << 8));
    }
    return units;
}

// A narrow output as a code: one byte, or (lead << 8) | trail.
std::uint16_t Code(const std::string& bytes, const std::string& where)
{
    if (bytes.size() == 1)
    {
        return static_cast<unsigned char>(bytes[0]);
    }
    if (bytes.size() == 2 && bytes[0] != '\0')
    {
        return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) << 8 |
                                          static_cast<unsigned char>(bytes[1]));
    }
    Fail(where + ": an answer of " + std::to_string(bytes.size()) + " bytes");
}

// Stores equal blocks once.
class Pool
{
public:
    explicit Pool(std::vector<std::uint16_t> start) : m_Units(std::move(start)) {}

    std::uint32_t Add(const std::vector<std::uint16_t>& block)
    {
        const auto found = m_Offsets.find(block);
        if (found != m_Offsets.end())
        {
            return found->second;
        }
        const auto offset = static_cast<std::uint32_t>(m_Units.size());
        m_Units.insert(m_Units.end(), block.begin(), block.end());
        m_Offsets.emplace(block, offset);
        return offset;
    }

    const std::vector<std::uint16_t>& Units() const { return m_Units; }

private:
    std::vector<std::uint16_t> m_Units;
    std::map<std::vector<std::uint16_t>, std::uint32_t> m_Offsets;
};

struct Page
{
    std::uint32_t codePage = 0;
    std::uint16_t defaultCode = 0;
    bool asciiCompatible = true;
    // Block numbers in the pool of codes: with and without the best fits, and the same for the
    // run loop, where each combining unit holds ComposingCode.
    std::vector<std::uint16_t> wideBlocks;
    std::vector<std::uint16_t> exactBlocks;
    std::vector<std::uint16_t> wideRunBlocks;
    std::vector<std::uint16_t> exactRunBlocks;
    std::vector<std::uint16_t> narrow;
    std::vector<std::uint32_t> leadRows; // empty for single-byte pages
};

bool IsDoubleByte(std::uint32_t codePage)
{
    for (const std::uint32_t page : DoubleBytePages)
    {
        if (page == codePage)
        {
            return true;
        }
    }
    return false;
}

// What `code` decodes to, or NotAPair when it is a pair that does not decode.
std::uint16_t Decode(const Page& page, const Pool& pairs, std::uint16_t code)
{
    if (code <= 0xFF)
    {
        return page.narrow[code];
    }
    const std::uint32_t row = page.leadRows.empty() ? 0 : page.leadRows[code >> 8];
    return row == 0 ? NotAPair : pairs.Units()[row + (code & 0xFF)];
}

void ReadNarrow(const std::string& folder, Page& page, Pool& pairs)
{
    const std::string name = std::to_string(page.codePage) + ".mb";
    const bool doubleByte = IsDoubleByte(page.codePage);
    const auto records =
        ReadRecords(folder + "/" + name, 0x100 + (doubleByte ? std::size_t{0x10000} : 0));
    for (std::size_t byte = 0; byte < 0x100; ++byte)
    {
        const auto units = Units(records[byte]);
        if (units.size() != 1)
        {
            Fail(name + ": a byte that does not decode to one unit");
        }
        page.narrow.push_back(units[0]);
    }
    if (!doubleByte)
    {
        return;
    }
    page.leadRows.assign(0x100, 0);
    for (std::size_t lead = 0; lead < 0x100; ++lead)
    {
        std::vector<std::uint16_t> row;
        bool leads = false;
        for (std::size_t trail = 0; trail < 0x100; ++trail)
        {
            const auto units = Units(records[0x100 + lead * 0x100 + trail]);
            if (units.size() == 1 && units[0] != NotAPair)
            {
                row.push_back(units[0]);
                leads = true;
            }
            else if (units.size() == 2 && units[0] == page.narrow[lead] &&
                     units[1] == page.narrow[trail])
            {
                row.push_back(NotAPair);
            }
            else
            {
                Fail(name + ": a byte pair that decodes neither as a pair nor byte by byte");
            }
        }
        // The engine counts characters from this, without the rows.
        for (std::size_t trail = 0; leads && trail < 0x100; ++trail)
        {
            if ((row[trail] == NotAPair) != (trail == 0))
            {
                Fail(name + ": a lead byte that pairs with NUL or not with another byte");
            }
        }
        if (leads)
        {
            page.leadRows[lead] = pairs.Add(row);
        }
    }
}

void ReadWide(const std::string& folder, Page& page, const Pool& pairs,
              const std::vector<bool>& combining, Pool& codes)
{
    const std::string prefix = folder + "/" + std::to_string(page.codePage) + ".";
    const auto bestFit = ReadRecords(prefix + "wc-0x220", 0x10000);
    const auto noBestFit = ReadRecords(prefix + "wc-0x620", 0x10000);
    const auto system = ReadRecords(prefix + "wc-0x220-system-default", 0x10000);
    const std::string where = std::to_string(page.codePage);

    bool haveDefault = false;
    for (std::size_t unit = 0; unit < 0x10000 && !haveDefault; ++unit)
    {
        if (bestFit[unit].size() >= 2 && bestFit[unit][0] == '\1')
        {
            page.defaultCode = Code(system[unit], where);
            haveDefault = true;
        }
    }
    if (!haveDefault)
    {
        Fail(where + ": no unit without a mapping, so no default character");
    }

    std::vector<std::uint16_t> wide(0x10000);
    std::vector<std::uint16_t> exactOnly(0x10000);
    std::size_t exactMismatches = 0;
    for (std::size_t unit = 0; unit < 0x10000; ++unit)
    {
        const std::string& answer = bestFit[unit];
        if (answer.size() < 2)
        {
            Fail(where + ": a best-fit answer without output");
        }
        const bool used = answer[0] == '\1';
        const std::uint16_t code = used ? page.defaultCode : Code(answer.substr(1), where);
        if (Code(system[unit], where) != code)
        {
            Fail(where + ": unit " + std::to_string(unit) +
                 " has no single code for both default characters");
        }
        if (code >= ComposingCode)
        {
            Fail(where + ": a code that the tables keep for a unit without one");
        }
        const bool exact = !used && Decode(page, pairs, code) == unit;
        wide[unit] = used ? NoCode : code;
        exactOnly[unit] = exact ? code : NoCode;
        const std::string expected =
            exact ? std::string(1, '\0') + answer.substr(1) : std::string("\1~");
        exactMismatches += noBestFit[unit] == expected ? 0u : 1u;
        if (unit < 0x80 && (code != unit || page.narrow[unit] != unit ||
                            (!page.leadRows.empty() && page.leadRows[unit] != 0)))
        {
            page.asciiCompatible = false;
        }
    }
    if (exactMismatches != 0)
    {
        Fail(where + ": " + std::to_string(exactMismatches) +
             " units where WC_NO_BEST_FIT_CHARS does not keep exactly the codes that decode back");
    }
    const auto addBlocks = [&codes, &where](const std::vector<std::uint16_t>& table,
                                            std::vector<std::uint16_t>& blocks) {
        for (std::size_t block = 0; block < 0x10000; block += WideBlockSize)
        {
            const std::uint32_t offset = codes.Add(std::vector<std::uint16_t>(
                table.begin() + static_cast<std::ptrdiff_t>(block),
                table.begin() + static_cast<std::ptrdiff_t>(block + WideBlockSize)));
            if (offset % WideBlockSize != 0 || offset / WideBlockSize > 0xFFFF)
            {
                Fail(where + ": a block of codes beyond what a 16-bit block number reaches");
            }
            blocks.push_back(static_cast<std::uint16_t>(offset / WideBlockSize));
        }
    };
    addBlocks(wide, page.wideBlocks);
    addBlocks(exactOnly, page.exactBlocks);
    for (std::size_t unit = 0; unit < 0x10000; ++unit)
    {
        if (combining[unit])
        {
            wide[unit] = ComposingCode;
            exactOnly[unit] = ComposingCode;
        }
    }
    addBlocks(wide, page.wideRunBlocks);
    addBlocks(exactOnly, page.exactRunBlocks);
}

struct Writer
{
    std::ostringstream out;
    std::size_t bytes = 0;

    template <typename Number>
    void Array(const char* declaration, const std::vector<Number>& values)
    {
        out << declaration << " = {";
        for (std::size_t i = 0; i < values.size(); ++i)
        {
            out << (i % 24 == 0 ? "\n" : "") << +values[i] << ',';
        }
        out << "};\n";
        bytes += values.size() * sizeof(Number);
    }
};

// At most CombiningSpanCount spans [first, last] that hold every unit whose bit is set in
// `bits`: the runs of set bits, merged across the narrowest gaps first, so that the spans
// take in as few other units as they can. Padded with copies of the last span.
std::vector<std::uint16_t> CoveringSpans(const std::vector<std::uint32_t>& bits)
{
    std::vector<std::pair<std::uint32_t, std::uint32_t>> spans;
    for (std::uint32_t unit = 0; unit < bits.size() * 32; ++unit)
    {
        if ((bits[unit / 32] >> (unit % 32) & 1) == 0)
        {
            continue;
        }
        if (!spans.empty() && spans.back().second + 1 == unit)
        {
            spans.back().second = unit;
        }
        else
        {
            spans.emplace_back(unit, unit);
        }
    }
    if (spans.empty())
    {
        Fail("no combining units");
    }
    while (spans.size() > CombiningSpanCount)
    {
        std::size_t narrowest = 0;
        for (std::size_t k = 1; k + 1 < spans.size(); ++k)
        {
            if (spans[k + 1].first - spans[k].second <
                spans[narrowest + 1].first - spans[narrowest].second)
            {
                narrowest = k;
            }
        }
        spans[narrowest].second = spans[narrowest + 1].second;
        spans.erase(spans.begin() + static_cast<std::ptrdiff_t>(narrowest) + 1);
    }
    // The engine tests the spans on units saturated to 16 signed bits.
    if (spans.back().second >= 0x7FFF)
    {
        Fail("a combining unit at or above U+7FFF");
    }
    spans.resize(CombiningSpanCount, spans.back());
    std::vector<std::uint16_t> flat;
    for (const auto& span : spans)
    {
        flat.push_back(static_cast<std::uint16_t>(span.first));
        flat.push_back(static_cast<std::uint16_t>(span.second));
    }
    return flat;
}

// A perfect hash of the page numbers: the first odd multiplier under which no two pages share
// a slot. Found in a fixed order, so the tables are the same from build to build.
void WriteSlots(const std::vector<Page>& pages, Writer& writer)
{
    for (std::uint32_t multiplier = 0x9E3779B1u;; multiplier += 2)
    {
        std::vector<std::uint8_t> slots(std::size_t{1} << CodePageSlotBits);
        bool clash = false;
        for (std::size_t index = 0; index < pages.size() && !clash; ++index)
        {
            std::uint8_t& slot =
                slots[(pages[index].codePage * multiplier) >> (32 - CodePageSlotBits)];
            clash = slot != 0;
            slot = static_cast<std::uint8_t>(index + 1);
        }
        if (!clash)
        {
            writer.out << "const std::uint32_t CodePageSlotMultiplier = " << multiplier << "u;\n";
            writer.Array("const std::uint8_t CodePageSlots[]", slots);
            return;
        }
    }
}

// The bytes for which `member(byte)` holds, as the engine's byte sets take them: two rows of 16
// indexed by a byte's low four bits, where bit k of the first row's entry stands for the byte
// whose high four bits are k, of the second row's for k + 8.
template <typename Member>
std::vector<std::uint8_t> ByteSetRows(Member member)
{
    std::vector<std::uint8_t> rows(32, 0);
    for (std::size_t byte = 0; byte < 0x100; ++byte)
    {
        if (member(byte))
        {
            rows[(byte >> 7) * 16 + (byte & 15)] |=
                static_cast<std::uint8_t>(1u << (byte >> 4 & 7));
        }
    }
    return rows;
}

void WriteTables(const std::vector<Page>& pages, const Pool& codes, const Pool& pairs,
                 const std::vector<std::uint64_t>& canonical, Writer& writer)
{
    std::ostream& out = writer.out;
    out << "// Generated by CodePageTableGenerator from Windows' answers: do not edit.\n"
           "#include \"os/posix/CodePageTables.h\"\n\n"
           "namespace Tolvane {\nnamespace Util {\nnamespace Os {\nnamespace Posix {\n\n";
    writer.Array("const std::uint16_t WideCodes[]", codes.Units());
    writer.Array("const std::uint16_t NarrowPairs[]", pairs.Units());
    out << "namespace {\n";
    for (const Page& page : pages)
    {
        const std::string name = std::to_string(page.codePage);
        for (const auto& [prefix, blocks] :
             {std::pair{"Wide", &page.wideBlocks}, std::pair{"Exact", &page.exactBlocks}})
        {
            writer.Array(
                ("const std::uint16_t " + std::string(prefix) + "Blocks" + name + "[]").c_str(),
                *blocks);
        }
        // The run tables give each block's start less the block's first unit, so that a unit's
        // code is WideCodes[base[unit >> WideBlockShift] + unit].
        for (const auto& [prefix, blocks] : {std::pair{"WideRun", &page.wideRunBlocks},
                                             std::pair{"ExactRun", &page.exactRunBlocks}})
        {
            std::vector<std::int32_t> bases;
            for (std::size_t block = 0; block < blocks->size(); ++block)
            {
                bases.push_back(static_cast<std::int32_t>((*blocks)[block] * WideBlockSize) -
                                static_cast<std::int32_t>(block * WideBlockSize));
            }
            writer.Array(
                ("const std::int32_t " + std::string(prefix) + "Bases" + name + "[]").c_str(),
                bases);
        }
        writer.Array(("const std::uint16_t Narrow" + name + "[]").c_str(), page.narrow);
        // The units below U+0100 whose exact run code is the byte of their own value.
        writer.Array(
            ("alignas(16) const std::uint8_t IdentityBits" + name + "[]").c_str(),
            ByteSetRows([&](std::size_t unit) {
                return codes.Units()[page.exactRunBlocks[unit >> WideBlockShift] * WideBlockSize +
                                     (unit & (WideBlockSize - 1))] == unit;
            }));
        if (!page.leadRows.empty())
        {
            writer.Array(("const std::uint32_t LeadRows" + name + "[]").c_str(), page.leadRows);
            writer.Array(("alignas(16) const std::uint8_t LeadBits" + name + "[]").c_str(),
                         ByteSetRows([&](std::size_t byte) { return page.leadRows[byte] != 0; }));
        }
    }
    out << "} // namespace\n\nconst CodePageTable CodePageTables[] = {\n";
    for (const Page& page : pages)
    {
        const std::string name = std::to_string(page.codePage);
        out << "{" << page.codePage << ", " << page.defaultCode << ", "
            << (page.asciiCompatible ? "true" : "false") << ", WideBlocks" << name
            << ", ExactBlocks" << name << ", WideRunBases" << name << ", ExactRunBases" << name
            << ", Narrow" << name << ", "
            << (page.leadRows.empty() ? "nullptr, nullptr"
                                      : "LeadRows" + name + ", LeadBits" + name)
            << ", IdentityBits" << name << "},\n";
        writer.bytes += sizeof(std::uint32_t) * 2 + 8 * sizeof(void*);
    }
    out << "};\nconst std::size_t CodePageTableCount = " << pages.size() << ";\n\n";
    WriteSlots(pages, writer);
    out << "const CanonicalPair CanonicalPairs[] = {";
    std::uint32_t lowestSecond = 0xFFFF;
    std::vector<std::uint32_t> seconds;
    for (std::size_t i = 0; i < canonical.size(); ++i)
    {
        const std::uint64_t entry = canonical[i];
        out << (i % 8 == 0 ? "\n" : "") << "{" << (entry >> 16) << "u, " << (entry & 0xFFFF)
            << "},";
        const auto second = static_cast<std::uint32_t>((entry >> 16) & 0xFFFF);
        lowestSecond = std::min(lowestSecond, second);
        seconds.resize(std::max<std::size_t>(seconds.size(), second / 32 + 1));
        seconds[second / 32] |= std::uint32_t{1} << (second % 32);
        writer.bytes += 8;
    }
    out << "};\nconst std::size_t CanonicalPairCount = " << canonical.size() << ";\n"
        << "const char16_t LowestCombiningUnit = " << lowestSecond << ";\n";
    writer.Array("const std::uint32_t CombiningUnits[]", seconds);
    writer.Array("const char16_t CombiningSpans[]", CoveringSpans(seconds));
    out << "const char16_t CombiningUnitLimit = " << seconds.size() * 32 << ";\n\n"
        << "} // namespace Posix\n} // namespace Os\n} // namespace Util\n} // namespace Tolvane\n";
}

// (first << 32) | (second << 16) | composed, sorted.
std::vector<std::uint64_t> ReadCanonicalPairs(const std::string& folder)
{
    const std::string data = ReadFile(folder + "/unicode.compose");
    if (data.size() % 6 != 0)
    {
        Fail("unicode.compose: not a list of triples");
    }
    const auto units = Units(data);
    std::map<std::uint32_t, std::uint16_t> pairs;
    for (std::size_t i = 0; i < units.size(); i += 3)
    {
        pairs[std::uint32_t{units[i]} << 16 | units[i + 1]] = units[i + 2];
    }
    std::vector<std::uint64_t> sorted;
    for (const auto& [pair, composed] : pairs)
    {
        sorted.push_back(std::uint64_t{pair} << 16 | composed);
    }
    return sorted;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::cerr << "usage: CodePageTableGenerator <dump folder> <output .cpp>\n";
        return 2;
    }
    const std::string folder = argv[1];
    try
    {
        Pool codes({});
        // Offset 0: a row without pairs, for every byte that leads none.
        Pool pairs(std::vector<std::uint16_t>(0x100, NotAPair));
        const std::vector<std::uint64_t> canonical = ReadCanonicalPairs(folder);
        std::vector<bool> combining(0x10000);
        for (const std::uint64_t entry : canonical)
        {
            combining[(entry >> 16) & 0xFFFF] = true;
        }
        std::vector<Page> pages;
        for (const std::uint32_t codePage : Tolvane::CodePageData::TableCodePages)
        {
            Page page;
            page.codePage = codePage;
            ReadNarrow(folder, page, pairs);
            ReadWide(folder, page, pairs, combining, codes);
            pages.push_back(std::move(page));
        }
        Writer writer;
        WriteTables(pages, codes, pairs, canonical, writer);
        std::ofstream file(argv[2], std::ios::binary);
        file << writer.out.str();
        if (!file)
        {
            Fail(std::string("cannot write ") + argv[2]);
        }
        std::cout << "code-page tables: " << pages.size() << " pages, " << writer.bytes
                  << " bytes of data\n";
    }
    catch (const Failure& failure)
    {
        std::cerr << "CodePageTableGenerator: " << failure.what << '\n';
        return 1;
    }
    return 0;
}

// Conversion of a stream of any length in pieces of bounded size.
#include "StreamConverter.h"

#include <Tolvane/Util/StringConversion.h>

#include <cstdio>

namespace Tolvane::Tool {

namespace {

using namespace Util::StringConversion;

std::string CodePointName(unsigned long c)
{
    char text[16];
    std::snprintf(text, sizeof(text), "U+%04lX", c);
    return text;
}

std::string HexBytes(const char* data, std::size_t size)
{
    std::string text;
    char piece[4];
    for (std::size_t i = 0; i < size; ++i)
    {
        std::snprintf(piece, sizeof(piece), "%s%02X", i == 0 ? "" : " ",
                      static_cast<unsigned char>(data[i]));
        text += piece;
    }
    return text;
}

std::wstring WideOf(unsigned long c)
{
    if (sizeof(wchar_t) == 2 && c > 0xFFFF)
    {
        c -= 0x10000;
        return {static_cast<wchar_t>(0xD800 + (c >> 10)),
                static_cast<wchar_t>(0xDC00 + (c & 0x3FF))};
    }
    return std::wstring(1, static_cast<wchar_t>(c));
}

// The code point at `wide[i]` and the units it takes (surrogate pairs on Windows).
unsigned long CodePointAt(const std::wstring& wide, std::size_t i, std::size_t& units)
{
    const auto c = static_cast<unsigned long>(wide[i]) & (sizeof(wchar_t) == 2 ? 0xFFFFul : ~0ul);
    units = 1;
    if (sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size())
    {
        const auto low = static_cast<unsigned long>(wide[i + 1]) & 0xFFFFul;
        if (low >= 0xDC00 && low <= 0xDFFF)
        {
            units = 2;
            return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        }
    }
    return c;
}

std::string Plural(std::uint64_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

} // namespace

StreamConverter::StreamConverter(const ConversionSettings& settings)
    : m_Settings(settings), m_Source(settings.from), m_TargetKind(EncodingShape(settings.to).Kind())
{
}

void StreamConverter::Convert(const std::string& inputName, const Reader& read, const Writer& write)
{
    if (m_Settings.bom == BomHandling::Add && !m_BomWritten)
    {
        std::string bom;
        bool used = false;
        Detail::ConvertWStringToString(L"\xFEFF", bom, "", m_Settings.to, DisallowBestFitMapping,
                                       UseSpecifiedDefaultChar, '?', used);
        write(bom.data(), bom.size());
        m_BomWritten = true;
    }
    const bool utf7Target = m_TargetKind == EncodingKind::Utf7;
    std::string pending;
    std::vector<char> block(m_Settings.readSize);
    std::uint64_t offset = 0;
    bool first = true;
    for (std::size_t got; (got = read(block.data(), block.size())) != 0;)
    {
        pending.append(block.data(), got);
        const auto* bytes = reinterpret_cast<const unsigned char*>(pending.data());
        std::size_t cut = m_Source.FindCut(bytes, pending.size(), utf7Target);
        if (cut == 0 && pending.size() >= m_Settings.maxPending)
        {
            cut = m_Source.FindForcedCut(bytes, pending.size());
        }
        if (cut != 0)
        {
            ConvertPiece(inputName, pending.data(), cut, offset, first, write);
            pending.erase(0, cut);
            offset += cut;
            first = false;
        }
    }
    ConvertPiece(inputName, pending.data(), pending.size(), offset, first, write);
}

void StreamConverter::ConvertPiece(const std::string& inputName, const char* data, std::size_t size,
                                   std::uint64_t offset, bool first, const Writer& write)
{
    if (size == 0)
    {
        return;
    }
    const std::string piece(data, size);
    std::wstring wide;
    if (!Detail::ConvertStringToWString(piece, wide, m_Settings.from, ""))
    {
        throw std::runtime_error("'" + inputName + "': the library cannot decode the input as " +
                                 m_Settings.from);
    }
    std::size_t skipped = 0;
    if (first && m_Settings.bom != BomHandling::Keep && IsUtf(m_Source.Kind()) && !wide.empty() &&
        wide[0] == L'\xFEFF')
    {
        wide.erase(0, 1);
        skipped = 1;
    }

    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    const std::size_t invalid =
        m_Source.MayHoldInvalid(wide) ? m_Source.FindInvalid(bytes, size) : size;

    std::string output;
    bool used = false;
    if (!Detail::ConvertWStringToString(
            wide, output, "", m_Settings.to,
            m_Settings.bestFit ? AllowBestFitMapping : DisallowBestFitMapping,
            m_Settings.systemDefaultChar ? UseSystemDefaultChar : UseSpecifiedDefaultChar,
            m_Settings.defaultChar, used))
    {
        throw std::runtime_error("'" + inputName + "': the library cannot convert the text to " +
                                 m_Settings.to);
    }

    // Characters without an exact form: the library says whether the default character was
    // used, not which characters or how many, nor whether a look-alike was.
    if (!TargetIsUtf() && (used || m_Settings.bestFit || m_Settings.systemDefaultChar))
    {
        // What invalid input decoded to (U+FFFD, a code page's mark) is reported as invalid
        // input below, not counted here as well.
        const std::vector<UnitRange> fromInvalid =
            invalid < size ? UnitsFromInvalidInput(data, size, invalid, wide.size() + skipped)
                           : std::vector<UnitRange>();
        auto range = fromInvalid.begin();
        for (std::size_t i = 0, units = 1; i < wide.size(); i += units)
        {
            while (range != fromInvalid.end() && range->end <= i + skipped)
            {
                ++range;
            }
            if (range != fromInvalid.end() && range->begin <= i + skipped)
            {
                units = range->end - (i + skipped);
                continue;
            }
            const unsigned long c = CodePointAt(wide, i, units);
            // Known answers inline; the library is asked once per code point.
            const unsigned char known = c < m_Exact.size() ? m_Exact[c] : 0;
            if (known == 1 || (known == 0 && HasExactForm(c)))
            {
                continue;
            }
            // Placing a character decodes prefixes of the piece again, so only the one that
            // a message names is placed: the first in strict mode, which stops there or at the
            // invalid input before it, and otherwise the first of the run.
            if (m_Settings.strict)
            {
                const std::size_t at = SourceOffsetOf(data, size, i + skipped);
                if (at < invalid)
                {
                    throw StrictStop("'" + inputName + "': byte " + std::to_string(offset + at) +
                                     ": " + CodePointName(c) + " has no exact form in " +
                                     m_Settings.to);
                }
                break;
            }
            if (m_ReplacedCount++ == 0)
            {
                m_FirstReplaced = CodePointName(c) + " at byte " +
                                  std::to_string(offset + SourceOffsetOf(data, size, i + skipped)) +
                                  " of '" + inputName + "'";
            }
        }
    }

    for (std::size_t at = invalid; at < size;)
    {
        const std::size_t shown = m_Source.InvalidLength(bytes, size, at);
        std::wstring decoded;
        Detail::ConvertStringToWString(std::string(data + at, shown), decoded, m_Settings.from, "");
        std::size_t units = 1;
        const std::string where =
            "byte " + std::to_string(offset + at) + " (" + HexBytes(data + at, shown) +
            (decoded.empty()
                 ? std::string(")")
                 : ", decoded as " + CodePointName(CodePointAt(decoded, 0, units)) + ")");
        if (m_Settings.strict)
        {
            throw StrictStop("'" + inputName + "': " + where + ": invalid " + m_Settings.from +
                             " input");
        }
        if (m_InvalidCount++ == 0)
        {
            m_FirstInvalid = where + " of '" + inputName + "'";
        }
        at = m_Source.FindInvalid(bytes, size, at + shown);
    }
    write(output.data(), output.size());
}

// The units of the piece's decoded text (BOM included) that its invalid input decoded to.
// The valid stretches between the invalid sequences are decoded on their own, which is linear
// in the piece; where the pieces do not add up to `decodedLength` (a decoder whose state runs
// across them), nothing is set apart.
std::vector<StreamConverter::UnitRange>
StreamConverter::UnitsFromInvalidInput(const char* data, std::size_t size, std::size_t invalid,
                                       std::size_t decodedLength) const
{
    const auto decodedSize = [this](const char* from, std::size_t length) {
        std::wstring wide;
        return length != 0 && Detail::ConvertStringToWString(std::string(from, length), wide,
                                                             m_Settings.from, "")
                   ? wide.size()
                   : 0;
    };
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    std::vector<UnitRange> ranges;
    std::size_t unit = 0;
    std::size_t done = 0;
    while (invalid < size)
    {
        const std::size_t shown = m_Source.InvalidLength(bytes, size, invalid);
        unit += decodedSize(data + done, invalid - done);
        const std::size_t units = decodedSize(data + invalid, shown);
        ranges.push_back(UnitRange{unit, unit + units});
        unit += units;
        done = invalid + shown;
        invalid = m_Source.FindInvalid(bytes, size, done);
    }
    unit += decodedSize(data + done, size - done);
    return unit == decodedLength ? ranges : std::vector<UnitRange>();
}

// Where in `data` the character at `wideIndex` of its decoded text begins: the shortest
// prefix that decodes to more characters than `wideIndex`, less its last byte.
std::size_t StreamConverter::SourceOffsetOf(const char* data, std::size_t size,
                                            std::size_t wideIndex) const
{
    if (m_Source.Kind() == EncodingKind::SingleByte)
    {
        return wideIndex;
    }
    std::size_t low = 1;
    std::size_t high = size;
    while (low < high)
    {
        const std::size_t middle = low + (high - low) / 2;
        std::wstring wide;
        Detail::ConvertStringToWString(std::string(data, middle), wide, m_Settings.from, "");
        if (wide.size() > wideIndex)
        {
            high = middle;
        }
        else
        {
            low = middle + 1;
        }
    }
    return low - 1;
}

bool StreamConverter::HasExactForm(unsigned long c)
{
    if (c >= 0x110000)
    {
        return false;
    }
    if (m_Exact.empty())
    {
        m_Exact.resize(0x110000);
    }
    if (m_Exact[c] == 0)
    {
        std::string narrow;
        bool used = false;
        const bool exact = Detail::ConvertWStringToString(WideOf(c), narrow, "", m_Settings.to,
                                                          DisallowBestFitMapping,
                                                          UseSpecifiedDefaultChar, '?', used) &&
                           !used;
        m_Exact[c] = exact ? 1 : 2;
    }
    return m_Exact[c] == 1;
}

std::vector<std::string> StreamConverter::Report() const
{
    std::vector<std::string> lines;
    if (m_InvalidCount != 0)
    {
        lines.push_back("invalid " + m_Settings.from + " input in " +
                        Plural(m_InvalidCount, "place", "places") + ", the first at " +
                        m_FirstInvalid);
    }
    if (m_ReplacedCount != 0)
    {
        const std::string by = m_Settings.systemDefaultChar
                                   ? std::string("the code page's default character")
                                   : "'" + std::string(1, m_Settings.defaultChar) + "'" +
                                         (m_Settings.bestFit ? " or a look-alike" : "");
        lines.push_back(Plural(m_ReplacedCount, "character", "characters") + " replaced by " + by +
                        " (no exact form in " + m_Settings.to + "), the first " + m_FirstReplaced);
    }
    return lines;
}

} // namespace Tolvane::Tool

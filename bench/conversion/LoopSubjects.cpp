// Loop subjects: a UTF-8 encoder and validating decoder, and CP1252 by table.
#include "conversion/LoopSubjects.h"

#include <iterator>

namespace Tolvane::Bench {

namespace {

// CP1252's bytes 0x80 to 0x9F; the rest of the page is Latin-1. The five unassigned bytes
// map to the C1 controls of the same value, as Windows maps them.
const char16_t sc_Cp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::size_t EncodeUtf8(const std::wstring& source, char* out)
{
    char* const start = out;
    for (const wchar_t character : source)
    {
        auto code = static_cast<char32_t>(character);
        if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        {
            code = 0xFFFD;
        }
        if (code < 0x80)
        {
            *out++ = static_cast<char>(code);
        }
        else if (code < 0x800)
        {
            *out++ = static_cast<char>(0xC0 | (code >> 6));
            *out++ = static_cast<char>(0x80 | (code & 0x3F));
        }
        else if (code < 0x10000)
        {
            *out++ = static_cast<char>(0xE0 | (code >> 12));
            *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (code & 0x3F));
        }
        else
        {
            *out++ = static_cast<char>(0xF0 | (code >> 18));
            *out++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return static_cast<std::size_t>(out - start);
}

// Rejects overlong forms, surrogates and values above U+10FFFF: each bad byte gives U+FFFD.
std::size_t DecodeUtf8(const std::string& source, wchar_t* out)
{
    wchar_t* const start = out;
    const auto* in = reinterpret_cast<const unsigned char*>(source.data());
    const auto* const end = in + source.size();
    while (in < end)
    {
        const unsigned char lead = *in;
        if (lead < 0x80)
        {
            *out++ = static_cast<wchar_t>(lead);
            ++in;
            continue;
        }
        const int trail = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
        char32_t code = trail == 3 ? lead & 0x07u : trail == 2 ? lead & 0x0Fu : lead & 0x1Fu;
        bool valid = trail > 0 && lead <= 0xF4 && end - in > trail;
        for (int index = 1; valid && index <= trail; ++index)
        {
            valid = (in[index] & 0xC0) == 0x80;
            code = (code << 6) | (in[index] & 0x3Fu);
        }
        valid = valid && !(trail == 2 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) &&
                !(trail == 3 && (code < 0x10000 || code > 0x10FFFF));
        *out++ = valid ? static_cast<wchar_t>(code) : L'\xFFFD';
        in += valid ? trail + 1 : 1;
    }
    return static_cast<std::size_t>(out - start);
}

std::size_t EncodeCp1252(const std::wstring& source, char* out)
{
    for (const wchar_t character : source)
    {
        char byte = '?';
        if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        {
            byte = static_cast<char>(character);
        }
        else
        {
            for (unsigned index = 0; index < std::size(sc_Cp1252High); ++index)
            {
                if (static_cast<wchar_t>(sc_Cp1252High[index]) == character)
                {
                    byte = static_cast<char>(0x80 + index);
                    break;
                }
            }
        }
        *out++ = byte;
    }
    return source.size();
}

std::size_t DecodeCp1252(const std::string& source, wchar_t* out)
{
    for (const char character : source)
    {
        const auto byte = static_cast<unsigned char>(character);
        *out++ = byte >= 0x80 && byte < 0xA0 ? static_cast<wchar_t>(sc_Cp1252High[byte - 0x80])
                                             : static_cast<wchar_t>(byte);
    }
    return source.size();
}

class LoopToNarrow : public NarrowSubject
{
public:
    using Encoder = std::size_t (*)(const std::wstring&, char*);

    LoopToNarrow(const ConversionCase& conversion, Encoder encoder)
        : m_Case(conversion), m_Encoder(encoder)
    {
        m_Output.Reserve(conversion.Wide.size() * 4);
    }

    bool Convert() override
    {
        m_Output.Length = m_Encoder(m_Case.Wide, m_Output.Buffer.data());
        return true;
    }
    std::string Result() override { return m_Output.Text(); }

private:
    const ConversionCase& m_Case;
    const Encoder m_Encoder;
    OutputBuffer<char> m_Output;
};

class LoopToWide : public WideSubject
{
public:
    using Decoder = std::size_t (*)(const std::string&, wchar_t*);

    LoopToWide(const ConversionCase& conversion, Decoder decoder)
        : m_Case(conversion), m_Decoder(decoder)
    {
        m_Output.Reserve(conversion.Narrow.size());
    }

    bool Convert() override
    {
        m_Output.Length = m_Decoder(m_Case.Narrow, m_Output.Buffer.data());
        return true;
    }
    std::wstring Result() override { return m_Output.Text(); }

private:
    const ConversionCase& m_Case;
    const Decoder m_Decoder;
    OutputBuffer<wchar_t> m_Output;
};

} // namespace

bool HasLoopToNarrow(const ConversionCase& conversion)
{
    return conversion.Encoding == "UTF-8" ||
           (conversion.Encoding == "CP1252" &&
            conversion.BestFit == Util::StringConversion::DisallowBestFitMapping);
}

bool HasLoopToWide(const ConversionCase& conversion)
{
    return conversion.Encoding == "UTF-8" || conversion.Encoding == "CP1252";
}

std::unique_ptr<NarrowSubject> LoopToNarrowSubject(const ConversionCase& conversion)
{
    if (conversion.Encoding == "UTF-8")
    {
        return std::make_unique<LoopToNarrow>(conversion, EncodeUtf8);
    }
    if (HasLoopToNarrow(conversion))
    {
        return std::make_unique<LoopToNarrow>(conversion, EncodeCp1252);
    }
    return nullptr;
}

std::unique_ptr<WideSubject> LoopToWideSubject(const ConversionCase& conversion)
{
    if (conversion.Encoding == "UTF-8")
    {
        return std::make_unique<LoopToWide>(conversion, DecodeUtf8);
    }
    if (HasLoopToWide(conversion))
    {
        return std::make_unique<LoopToWide>(conversion, DecodeCp1252);
    }
    return nullptr;
}

} // namespace Tolvane::Bench

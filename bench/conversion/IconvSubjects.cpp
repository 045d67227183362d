// iconv subjects: one descriptor per row, reset before each conversion.
#include "conversion/IconvSubjects.h"

#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <stdexcept>

namespace Tolvane::Bench {

namespace {

const iconv_t sc_NoDescriptor = reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1));

class Descriptor
{
public:
    Descriptor(const std::string& to, const std::string& from)
        : m_Descriptor(iconv_open(to.c_str(), from.c_str()))
    {
        if (m_Descriptor == sc_NoDescriptor)
        {
            throw std::runtime_error("iconv cannot convert from " + from + " to " + to);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { iconv_close(m_Descriptor); }

    // Converts `source` whole into `output`; an unconvertible character becomes `replacement`.
    template <typename Char, typename OutChar>
    bool Convert(const std::basic_string<Char>& source, OutputBuffer<OutChar>& output,
                 OutChar replacement)
    {
        iconv(m_Descriptor, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(reinterpret_cast<const char*>(source.data()));
        std::size_t inLeft = source.size() * sizeof(Char);
        std::size_t written = 0;
        for (;;)
        {
            char* const start = reinterpret_cast<char*>(output.Buffer.data());
            char* out = start + written;
            std::size_t outLeft = output.Buffer.size() * sizeof(OutChar) - written;
            const std::size_t result = iconv(m_Descriptor, &in, &inLeft, &out, &outLeft);
            written = static_cast<std::size_t>(out - start);
            if (result != static_cast<std::size_t>(-1))
            {
                break;
            }
            if (errno == EILSEQ && outLeft >= sizeof(OutChar))
            {
                *reinterpret_cast<OutChar*>(out) = replacement;
                written += sizeof(OutChar);
                in += sizeof(Char);
                inLeft -= sizeof(Char);
            }
            else if (errno == E2BIG || errno == EILSEQ)
            {
                output.Buffer.resize(output.Buffer.size() * 2 + 16);
            }
            else
            {
                return false;
            }
        }
        output.Length = written / sizeof(OutChar);
        return true;
    }

private:
    iconv_t m_Descriptor;
};

class IconvToNarrow : public NarrowSubject
{
public:
    explicit IconvToNarrow(const ConversionCase& conversion)
        : m_Case(conversion),
          m_Descriptor(conversion.Encoding +
                           (conversion.BestFit == Util::StringConversion::AllowBestFitMapping &&
                                    conversion.Encoding != "UTF-8"
                                ? "//TRANSLIT"
                                : ""),
                       "WCHAR_T")
    {
        m_Output.Reserve(conversion.Wide.size() * 4);
    }

    bool Convert() override { return m_Descriptor.Convert(m_Case.Wide, m_Output, '?'); }
    std::string Result() override { return m_Output.Text(); }

private:
    const ConversionCase& m_Case;
    Descriptor m_Descriptor;
    OutputBuffer<char> m_Output;
};

class IconvToWide : public WideSubject
{
public:
    explicit IconvToWide(const ConversionCase& conversion)
        : m_Case(conversion), m_Descriptor("WCHAR_T", conversion.Encoding)
    {
        m_Output.Reserve(conversion.Narrow.size());
    }

    bool Convert() override { return m_Descriptor.Convert(m_Case.Narrow, m_Output, L'\xFFFD'); }
    std::wstring Result() override { return m_Output.Text(); }

private:
    const ConversionCase& m_Case;
    Descriptor m_Descriptor;
    OutputBuffer<wchar_t> m_Output;
};

} // namespace

std::unique_ptr<NarrowSubject> IconvToNarrowSubject(const ConversionCase& conversion)
{
    return std::make_unique<IconvToNarrow>(conversion);
}

std::unique_ptr<WideSubject> IconvToWideSubject(const ConversionCase& conversion)
{
    return std::make_unique<IconvToWide>(conversion);
}

} // namespace Tolvane::Bench

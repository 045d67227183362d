// ICU subjects: two converters per row and a pivot buffer, reset at each conversion.
#include "conversion/IcuSubjects.h"

#include <unicode/ucnv.h>

#include <stdexcept>

namespace Tolvane::Bench {

namespace {

static_assert(sizeof(wchar_t) == 4, "the wide text is UTF-32 here");

struct Closer
{
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, Closer>;

Converter Open(const std::string& name)
{
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open(name.c_str(), &status));
    if (U_FAILURE(status))
    {
        throw std::runtime_error("ICU has no converter " + name);
    }
    return converter;
}

// "UTF-8" stays, "CP1252" becomes "windows-1252".
Converter OpenCodePage(const ConversionCase& conversion)
{
    if (conversion.Encoding.rfind("CP", 0) != 0)
    {
        return Open(conversion.Encoding);
    }
    Converter converter = Open("windows-" + conversion.Encoding.substr(2));
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setSubstChars(converter.get(), "?", 1, &status);
    ucnv_setFallback(converter.get(),
                     conversion.BestFit == Util::StringConversion::AllowBestFitMapping);
    return converter;
}

Converter OpenWide()
{
    const unsigned probe = 1;
    return Open(*reinterpret_cast<const unsigned char*>(&probe) == 1 ? "UTF-32LE" : "UTF-32BE");
}

// Converts `source` whole into `output` through ICU's pivot.
template <typename Char, typename OutChar>
bool ConvertThroughPivot(UConverter* to, UConverter* from, const std::basic_string<Char>& source,
                         OutputBuffer<OutChar>& output)
{
    UChar pivot[1024];
    UChar* pivotSource = pivot;
    UChar* pivotTarget = pivot;
    const char* in = reinterpret_cast<const char*>(source.data());
    const char* const inEnd = in + source.size() * sizeof(Char);
    std::size_t written = 0;
    bool reset = true;
    for (;;)
    {
        char* const start = reinterpret_cast<char*>(output.Buffer.data());
        char* out = start + written;
        UErrorCode status = U_ZERO_ERROR;
        ucnv_convertEx(to, from, &out, start + output.Buffer.size() * sizeof(OutChar), &in, inEnd,
                       pivot, &pivotSource, &pivotTarget, pivot + 1024, reset, true, &status);
        written = static_cast<std::size_t>(out - start);
        reset = false;
        if (status == U_BUFFER_OVERFLOW_ERROR)
        {
            output.Buffer.resize(output.Buffer.size() * 2 + 16);
            continue;
        }
        if (U_FAILURE(status))
        {
            return false;
        }
        break;
    }
    output.Length = written / sizeof(OutChar);
    return true;
}

class IcuToNarrow : public NarrowSubject
{
public:
    explicit IcuToNarrow(const ConversionCase& conversion)
        : m_Case(conversion), m_To(OpenCodePage(conversion)), m_From(OpenWide())
    {
        m_Output.Reserve(conversion.Wide.size() * 4);
    }

    bool Convert() override
    {
        return ConvertThroughPivot(m_To.get(), m_From.get(), m_Case.Wide, m_Output);
    }
    std::string Result() override { return m_Output.Text(); }

private:
    const ConversionCase& m_Case;
    Converter m_To;
    Converter m_From;
    OutputBuffer<char> m_Output;
};

class IcuToWide : public WideSubject
{
public:
    explicit IcuToWide(const ConversionCase& conversion)
        : m_Case(conversion), m_To(OpenWide()), m_From(OpenCodePage(conversion))
    {
        m_Output.Reserve(conversion.Narrow.size());
    }

    bool Convert() override
    {
        return ConvertThroughPivot(m_To.get(), m_From.get(), m_Case.Narrow, m_Output);
    }
    std::wstring Result() override { return m_Output.Text(); }

private:
    const ConversionCase& m_Case;
    Converter m_To;
    Converter m_From;
    OutputBuffer<wchar_t> m_Output;
};

} // namespace

std::unique_ptr<NarrowSubject> IcuToNarrowSubject(const ConversionCase& conversion)
{
    return std::make_unique<IcuToNarrow>(conversion);
}

std::unique_ptr<WideSubject> IcuToWideSubject(const ConversionCase& conversion)
{
    return std::make_unique<IcuToWide>(conversion);
}

} // namespace Tolvane::Bench

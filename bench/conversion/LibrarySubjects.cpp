// Library subjects: the exported conversion calls, exactly as a client makes them.
#include "conversion/LibrarySubjects.h"

#include <benchmark/benchmark.h>

namespace Tolvane::Bench {

namespace {

template <typename Char>
class LibrarySubject : public Subject<Char>
{
public:
    LibrarySubject(const ConversionCase& conversion, Destination destination)
        : m_Case(conversion), m_Destination(destination)
    {
    }

    bool Convert() override
    {
        if (m_Destination == Destination::Kept)
        {
            return Call(m_Kept);
        }
        std::basic_string<Char> fresh;
        const bool converted = Call(fresh);
        benchmark::DoNotOptimize(fresh.data());
        return converted;
    }

    std::basic_string<Char> Result() override
    {
        std::basic_string<Char> result;
        Call(result);
        return result;
    }

private:
    bool Call(std::string& destination) const { return LibraryToNarrow(m_Case, destination); }
    bool Call(std::wstring& destination) const { return LibraryToWide(m_Case, destination); }

    const ConversionCase& m_Case;
    const Destination m_Destination;
    std::basic_string<Char> m_Kept;
};

} // namespace

std::unique_ptr<NarrowSubject> LibraryToNarrowSubject(const ConversionCase& conversion,
                                                      Destination destination)
{
    return std::make_unique<LibrarySubject<char>>(conversion, destination);
}

std::unique_ptr<WideSubject> LibraryToWideSubject(const ConversionCase& conversion,
                                                  Destination destination)
{
    return std::make_unique<LibrarySubject<wchar_t>>(conversion, destination);
}

} // namespace Tolvane::Bench

// One contender in a conversion table: converts its row's text, again and again.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace Tolvane::Bench {

// Converts one fixed source into an output the caller keeps between calls; what a benchmark
// iteration times. Result() gives the last output for the check that peers agree.
template <typename Char>
class Subject
{
public:
    virtual ~Subject() = default;
    virtual bool Convert() = 0;
    virtual std::basic_string<Char> Result() = 0;
};

using NarrowSubject = Subject<char>;
using WideSubject = Subject<wchar_t>;

// Where a peer writes: a buffer kept between calls, grown when a result does not fit, and the
// length of the last result. The library writes into a std::string kept the same way.
template <typename Char>
struct OutputBuffer
{
    std::vector<Char> Buffer;
    std::size_t Length = 0;

    std::basic_string<Char> Text() const { return std::basic_string<Char>(Buffer.data(), Length); }
    void Reserve(std::size_t size)
    {
        if (Buffer.size() < size)
        {
            Buffer.resize(size);
        }
    }
};

} // namespace Tolvane::Bench

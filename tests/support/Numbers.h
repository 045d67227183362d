// The next numbers a generator gives for one range.
#pragma once

#include <Tolvane/Util/RandomNumberGenerator.h>

#include <vector>

namespace Tolvane::Testing {

inline std::vector<Util::Long32> Numbers(Util::RandomNumberGenerator& generator,
                                         Util::Long32 minimum, Util::Long32 maximum, int count)
{
    std::vector<Util::Long32> numbers;
    for (int i = 0; i < count; ++i)
    {
        numbers.push_back(generator.GetNumber(minimum, maximum));
    }
    return numbers;
}

} // namespace Tolvane::Testing

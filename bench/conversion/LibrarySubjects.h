// The library's conversions as table subjects, into a kept or a fresh destination.
#pragma once

#include "common/ConversionCases.h"
#include "conversion/Subject.h"

namespace Tolvane::Bench {

enum class Destination
{
    Kept, // one string for every call: its capacity is reused
    Fresh // a new string at every call, freed after it
};

std::unique_ptr<NarrowSubject> LibraryToNarrowSubject(const ConversionCase& conversion,
                                                      Destination destination);
std::unique_ptr<WideSubject> LibraryToWideSubject(const ConversionCase& conversion,
                                                  Destination destination);

} // namespace Tolvane::Bench

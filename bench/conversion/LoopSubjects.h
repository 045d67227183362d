// Plain loops as peers, where a few lines can do the library's work: UTF-8 and CP1252.
#pragma once

#include "common/ConversionCases.h"
#include "conversion/Subject.h"

namespace Tolvane::Bench {

// Whether a plain loop does the same work: not for CP932, nor for CP1252 with best fit allowed.
bool HasLoopToNarrow(const ConversionCase& conversion);
bool HasLoopToWide(const ConversionCase& conversion);

// Null where there is no loop.
std::unique_ptr<NarrowSubject> LoopToNarrowSubject(const ConversionCase& conversion);
std::unique_ptr<WideSubject> LoopToWideSubject(const ConversionCase& conversion);

} // namespace Tolvane::Bench

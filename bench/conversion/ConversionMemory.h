// Allocations and peak heap of one library conversion, per row, as a table.
#pragma once

#include "common/ConversionCases.h"

#include <ostream>
#include <vector>

namespace Tolvane::Bench {

// Counts one conversion per row into a kept destination (already large enough) and one into a
// fresh destination; prints operator new calls and the peak bytes held, beside the output size.
void PrintConversionMemory(std::ostream& out, const std::vector<ConversionCase>& wideToNarrow,
                           const std::vector<ConversionCase>& narrowToWide);

} // namespace Tolvane::Bench

// The conversion tables: fixed rows, fresh destinations and the size sweep.
#pragma once

#include "common/ConversionCases.h"

#include <memory>
#include <vector>

namespace Tolvane::Bench {

using SharedCase = std::shared_ptr<const ConversionCase>;

// "w2n" and "n2w": every fixed row, the library (kept destination) against iconv, ICU and a
// plain loop; outputs checked against the library's first.
void RegisterFixedRows(const std::vector<SharedCase>& wideToNarrow,
                       const std::vector<SharedCase>& narrowToWide);

// "fresh-dest": the library into a fresh destination against itself into a kept one.
void RegisterFreshDestinationRows(const std::vector<SharedCase>& wideToNarrow,
                                  const std::vector<SharedCase>& narrowToWide);

// "sweep-w2n" and "sweep-n2w": UTF-8 ASCII and CP1252 without best fit (one byte per
// character) from 16 B to 16 MiB, per character, against the same peers.
void RegisterSizeSweep();

} // namespace Tolvane::Bench

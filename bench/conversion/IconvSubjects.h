// glibc's iconv as a peer: the same text converted into a kept buffer.
#pragma once

#include "common/ConversionCases.h"
#include "conversion/Subject.h"

namespace Tolvane::Bench {

// Best fit allowed is iconv's "//TRANSLIT"; a character iconv cannot convert becomes '?' and
// the conversion goes on, as the library's default character does.
std::unique_ptr<NarrowSubject> IconvToNarrowSubject(const ConversionCase& conversion);
std::unique_ptr<WideSubject> IconvToWideSubject(const ConversionCase& conversion);

} // namespace Tolvane::Bench

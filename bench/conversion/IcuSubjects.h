// ICU's ucnv as a peer: the same text converted into a kept buffer.
#pragma once

#include "common/ConversionCases.h"
#include "conversion/Subject.h"

namespace Tolvane::Bench {

// ucnv_convertEx between the wide text (UTF-32) and the code page's converter ("windows-N"),
// with fallbacks on when best fit is allowed and '?' as the substitution character.
std::unique_ptr<NarrowSubject> IcuToNarrowSubject(const ConversionCase& conversion);
std::unique_ptr<WideSubject> IcuToWideSubject(const ConversionCase& conversion);

} // namespace Tolvane::Bench

// The system code pages' side of the UTF rule, which asks the platform.
#include "strings/ConversionFlags.h"

namespace Tolvane::Util::StringConversion {

bool SystemPageIsUtf(std::uint32_t codePage)
{
    const std::uint32_t system =
        codePage == Os::CodePageAnsi ? Os::GetAnsiCodePage() : Os::GetOemCodePage();
    return system == Os::CodePageUtf7 || system == Os::CodePageUtf8;
}

} // namespace Tolvane::Util::StringConversion

// posix backend: ICU converters for Windows code pages, opened per call (ICU caches the
// tables, so that costs tens of nanoseconds).
#include "os/posix/IcuConverter.h"

#include <cstdio>
#include <utility>

namespace Tolvane
{
namespace Util
{
namespace Os
{
namespace Posix
{

namespace
{

// Code pages whose ICU namesakes are not Windows' (or that a narrow string cannot hold).
bool IsExcludedCodePage(std::uint32_t codePage)
{
    switch (codePage)
    {
    case 1200:  // UTF-16LE
    case 1201:  // UTF-16BE
    case 12000: // UTF-32LE
    case 12001: // UTF-32BE
    case 20932: // ICU's namesakes of these two are badly wrong
    case 20949:
        return true;
    default:
        return false;
    }
}

Converter TryOpen(const char* name)
{
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open(name, &status));
    return U_SUCCESS(status) ? std::move(converter) : nullptr;
}

} // namespace

Converter OpenConverter(std::uint32_t codePage)
{
    if (IsExcludedCodePage(codePage))
    {
        return nullptr;
    }
    if (codePage == 28591)
    {
        return TryOpen("ISO-8859-1");
    }
    char name[32];
    std::snprintf(name, sizeof name, "windows-%u", static_cast<unsigned>(codePage));
    Converter converter = TryOpen(name);
    if (!converter)
    {
        std::snprintf(name, sizeof name, "cp%u", static_cast<unsigned>(codePage));
        converter = TryOpen(name);
    }
    return converter;
}

PageTraits ProbePage(UConverter* converter)
{
    PageTraits traits;
    const UChar probe[] = {u'?', u'\x1A'};
    char bytes[8];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t written = ucnv_fromUChars(converter, bytes, sizeof bytes, probe, 2, &status);
    ucnv_reset(converter);
    if (Succeeded(status) && written == 2)
    {
        traits.questionMark = bytes[0];
        traits.rotated = bytes[1] == '\x7F';
    }
    return traits;
}

} // namespace Posix
} // namespace Os
} // namespace Util
} // namespace Tolvane

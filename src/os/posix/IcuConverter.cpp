// posix backend: ICU converters for Windows code pages, opened per call (ICU caches the
// tables, so that costs tens of nanoseconds).
#include "os/posix/IcuConverter.h"

#include <cstddef>
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
    // "windows-N", and "cpN" in the same buffer: the number written once, from the end.
    char name[24] = "windows-";
    char digits[11];
    std::size_t count = 0;
    for (std::uint32_t rest = codePage; count == 0 || rest != 0; rest /= 10)
    {
        digits[count++] = static_cast<char>('0' + rest % 10);
    }
    char* end = name + 8;
    while (count != 0)
    {
        *end++ = digits[--count];
    }
    *end = '\0';
    Converter converter = TryOpen(name);
    if (!converter)
    {
        name[6] = 'c';
        name[7] = 'p';
        converter = TryOpen(name + 6);
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

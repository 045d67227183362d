// posix backend: Windows' conversion calls over wchar_t (UTF-32), from Windows' own tables.
//
// The system's ANSI and OEM code pages are UTF-8 here. The calls keep Windows' contract,
// including its refusals: a UTF code page takes no flags (but UTF-8 takes WC_ERR_INVALID_CHARS
// / MB_ERR_INVALID_CHARS, which make ill-formed input fail the call) and no default-character
// arguments. Exactly the table pages that Windows has (as Wine emulates it) are supported;
// any other number fails as a code page that Windows lacks. Table pages heed
// WC_NO_BEST_FIT_CHARS and WC_COMPOSITECHECK; their other flags change nothing.
#include "os/CodePages.h"

#include "os/posix/TableCodePage.h"
#include "os/posix/Utf7.h"
#include "os/posix/Utf8.h"

#include <limits>

namespace Tolvane::Util::Os {

namespace {

constexpr std::uint32_t ErrInvalidCharsFlag = 0x08;   // MB_ERR_INVALID_CHARS
constexpr std::uint32_t WcErrInvalidCharsFlag = 0x80; // WC_ERR_INVALID_CHARS

std::uint32_t ActualCodePage(std::uint32_t codePage)
{
    if (codePage == CodePageAnsi)
    {
        return GetAnsiCodePage();
    }
    if (codePage == CodePageOem)
    {
        return GetOemCodePage();
    }
    return codePage;
}

bool IsUtf(std::uint32_t codePage)
{
    return codePage == CodePageUtf7 || codePage == CodePageUtf8;
}

// Windows' answer for a conversion that produced `length` units into a buffer of `size`:
// the length, or 0 when it did not fit or does not fit an int.
std::int32_t Answer(bool ok, std::size_t length, std::int32_t size)
{
    if (!ok || length > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
    {
        return 0;
    }
    if (size != 0 && length > static_cast<std::size_t>(size))
    {
        return 0;
    }
    return static_cast<std::int32_t>(length);
}

bool ValidBuffer(const void* destination, std::int32_t size, std::int32_t sourceLength)
{
    return sourceLength >= 0 && size >= 0 && (size == 0 || destination != nullptr);
}

} // namespace

std::int32_t WideCharToMultiByte(std::uint32_t codePage, std::uint32_t flags, const wchar_t* source,
                                 std::int32_t sourceLength, char* destination,
                                 std::int32_t destinationSize, const char* defaultChar,
                                 std::int32_t* usedDefaultChar)
{
    if (!ValidBuffer(destination, destinationSize, sourceLength) || sourceLength == 0)
    {
        return 0;
    }
    const std::uint32_t actual = ActualCodePage(codePage);
    const auto length = static_cast<std::size_t>(sourceLength);
    const auto capacity = static_cast<std::size_t>(destinationSize);
    if (IsUtf(actual))
    {
        const std::uint32_t allowed = actual == CodePageUtf8 ? WcErrInvalidCharsFlag : 0;
        if ((flags & ~allowed) != 0 || defaultChar != nullptr || usedDefaultChar != nullptr)
        {
            return 0;
        }
        bool invalid = false;
        const std::size_t written =
            actual == CodePageUtf8
                ? Posix::EncodeUtf8(source, length, destination, capacity, &invalid)
                : Posix::EncodeUtf7(source, length, destination, capacity);
        return Answer(!(invalid && (flags & WcErrInvalidCharsFlag) != 0), written, destinationSize);
    }
    const Posix::CodePageTable* const page = Posix::FindCodePageTable(actual);
    if (page == nullptr)
    {
        return 0;
    }
    bool used = false;
    const Posix::WideOptions options{(flags & WcNoBestFitChars) == 0,
                                     (flags & WcCompositeCheck) != 0, defaultChar};
    const std::size_t written = Posix::TableFromWide(
        *page, options, source, length, used, capacity == 0 ? nullptr : destination, capacity);
    if (usedDefaultChar != nullptr)
    {
        *usedDefaultChar = used ? 1 : 0;
    }
    return Answer(true, written, destinationSize);
}

std::int32_t MultiByteToWideChar(std::uint32_t codePage, std::uint32_t flags, const char* source,
                                 std::int32_t sourceLength, wchar_t* destination,
                                 std::int32_t destinationSize)
{
    if (!ValidBuffer(destination, destinationSize, sourceLength) || sourceLength == 0)
    {
        return 0;
    }
    const std::uint32_t actual = ActualCodePage(codePage);
    const auto length = static_cast<std::size_t>(sourceLength);
    const auto capacity = static_cast<std::size_t>(destinationSize);
    if (IsUtf(actual))
    {
        const std::uint32_t allowed = actual == CodePageUtf8 ? ErrInvalidCharsFlag : 0;
        if ((flags & ~allowed) != 0)
        {
            return 0;
        }
        bool invalid = false;
        const std::size_t written =
            actual == CodePageUtf8
                ? Posix::DecodeUtf8(source, length, destination, capacity, &invalid)
                : Posix::DecodeUtf7(source, length, destination, capacity);
        return Answer(!(invalid && (flags & ErrInvalidCharsFlag) != 0), written, destinationSize);
    }
    const Posix::CodePageTable* const page = Posix::FindCodePageTable(actual);
    if (page == nullptr)
    {
        return 0;
    }
    return Answer(
        true,
        Posix::TableToWide(*page, source, length, capacity == 0 ? nullptr : destination, capacity),
        destinationSize);
}

std::uint32_t GetAnsiCodePage()
{
    return CodePageUtf8;
}

std::uint32_t GetOemCodePage()
{
    return CodePageUtf8;
}

} // namespace Tolvane::Util::Os

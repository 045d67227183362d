// Two-pass conversion: ask the platform for the size, then convert into a buffer of that size.
#include "strings/PlatformConversion.h"

#include "os/CodePages.h"

#include <limits>

namespace Tolvane::Util::StringConversion {

namespace {

// The platform calls take an int length. A longer source must fail, never be cut short.
bool FitsPlatformLength(std::size_t length)
{
    return length <= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
}

// The two passes shared by both directions: `call(buffer, size)` makes one platform call,
// first with a null buffer of size 0 to learn the size, then with a buffer of that size.
// Short output goes through a local array and is copied into `destination`, whose own
// storage then usually suffices; longer output is written straight into a string of the
// sized length, which replaces `destination`: one allocation, and no copy.
template <typename Unit, std::size_t LocalUnits, typename PlatformCall>
bool ConvertTwoPass(std::size_t sourceLength, std::basic_string<Unit>& destination,
                    PlatformCall call)
{
    if (!FitsPlatformLength(sourceLength))
    {
        return false;
    }
    const std::int32_t needed = call(nullptr, 0);
    if (needed <= 0)
    {
        return false;
    }
    const auto size = static_cast<std::size_t>(needed);
    if (size <= LocalUnits)
    {
        Unit local[LocalUnits];
        const std::int32_t written = call(local, needed);
        if (written < 1 || written > needed)
        {
            return false;
        }
        const auto length = static_cast<std::size_t>(written);
        if (length > destination.capacity())
        {
            destination.assign(local, length); // which leaves it as it was if it throws
            return true;
        }
        // Within the capacity nothing is allocated, so nothing can fail: clear and append skip
        // assign's checks for a source inside the string, which a local array never is.
        destination.clear();
        destination.append(local, length);
        return true;
    }
    std::basic_string<Unit> result(size, Unit());
    const std::int32_t written = call(&result[0], needed);
    if (written < 1 || written > needed)
    {
        return false;
    }
    result.resize(static_cast<std::size_t>(written));
    destination.swap(result);
    return true;
}

} // namespace

bool ConvertWithWideCharToMultiByte(std::uint32_t codePage, std::uint32_t flags,
                                    const std::wstring& source, std::string& destination,
                                    const char* defaultChar, std::int32_t* usedDefaultChar)
{
    if (source.empty())
    {
        destination.clear();
        return true;
    }
    return ConvertTwoPass<char, WideToNarrowLocalBufferBytes>(
        source.size(), destination, [&](char* buffer, std::int32_t size) {
            if (usedDefaultChar != nullptr)
            {
                *usedDefaultChar = 0;
            }
            return Os::WideCharToMultiByte(codePage, flags, source.data(),
                                           static_cast<std::int32_t>(source.size()), buffer, size,
                                           defaultChar, usedDefaultChar);
        });
}

bool ConvertWithMultiByteToWideChar(std::uint32_t codePage, std::uint32_t flags,
                                    const std::string& source, std::wstring& destination)
{
    if (source.empty())
    {
        destination.clear();
        return true;
    }
    return ConvertTwoPass<wchar_t, NarrowToWideLocalBufferUnits>(
        source.size(), destination, [&](wchar_t* buffer, std::int32_t size) {
            return Os::MultiByteToWideChar(codePage, flags, source.data(),
                                           static_cast<std::int32_t>(source.size()), buffer, size);
        });
}

} // namespace Tolvane::Util::StringConversion

// Two-pass conversion: ask the platform for the size, then convert into a buffer of that size.
#include "strings/PlatformConversion.h"

#include "os/CodePages.h"

#include <limits>
#include <memory>

namespace Tolvane
{
namespace Util
{
namespace StringConversion
{

namespace
{

// The platform calls take an int length. A longer source must fail, never be cut short.
bool FitsPlatformLength(std::size_t length)
{
    return length <= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
}

// A conversion's output buffer: a local array for short output, else one heap block of
// exactly the size that the sizing call reported. The heap block is released on every path.
template <typename Unit, std::size_t LocalUnits>
class OutputBuffer
{
public:
    explicit OutputBuffer(std::int32_t size)
        : m_Heap(static_cast<std::size_t>(size) > LocalUnits
                     ? new Unit[static_cast<std::size_t>(size)]
                     : nullptr)
    {
    }

    Unit* Data() { return m_Heap ? m_Heap.get() : m_Local; }

private:
    Unit m_Local[LocalUnits];
    std::unique_ptr<Unit[]> m_Heap;
};

// The two passes shared by both directions: `call(buffer, size)` makes one platform call,
// first with a null buffer of size 0 to learn the size, then with a buffer of that size.
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
    OutputBuffer<Unit, LocalUnits> buffer(needed);
    const std::int32_t written = call(buffer.Data(), needed);
    if (written < 1 || written > needed)
    {
        return false;
    }
    destination.assign(buffer.Data(), static_cast<std::size_t>(written));
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
        source.size(), destination,
        [&](char* buffer, std::int32_t size)
        {
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
        source.size(), destination,
        [&](wchar_t* buffer, std::int32_t size)
        {
            return Os::MultiByteToWideChar(codePage, flags, source.data(),
                                           static_cast<std::int32_t>(source.size()), buffer, size);
        });
}

} // namespace StringConversion
} // namespace Util
} // namespace Tolvane

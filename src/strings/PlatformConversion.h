// The two-pass conversions through the platform, one per direction.
#pragma once

#include <cstdint>
#include <string>

namespace Tolvane::Util::StringConversion {

// Output that fits these local buffers needs no temporary heap block.
constexpr std::size_t WideToNarrowLocalBufferBytes = 128;
constexpr std::size_t NarrowToWideLocalBufferUnits = 64;

// Converts `source` with WideCharToMultiByte: a sizing call, then the conversion. True when
// `destination` now holds the text (an empty source gives an empty text without a platform
// call and leaves `usedDefaultChar` alone); false when the platform fails, when the two calls
// disagree, or when the source is longer than the platform call can take. `destination` is
// written only on success. `defaultChar` points to a one-character NUL-terminated text or is
// null, as is `usedDefaultChar`. Throws std::bad_alloc when memory runs out.
bool ConvertWithWideCharToMultiByte(std::uint32_t codePage, std::uint32_t flags,
                                    const std::wstring& source, std::string& destination,
                                    const char* defaultChar, std::int32_t* usedDefaultChar);

// The same with MultiByteToWideChar, in the other direction.
bool ConvertWithMultiByteToWideChar(std::uint32_t codePage, std::uint32_t flags,
                                    const std::string& source, std::wstring& destination);

} // namespace Tolvane::Util::StringConversion

// Fake backend: code-page conversions answered from a tiny character table, every call recorded.
#pragma once

#include "Recorder.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace Tolvane::Util::Os::Fake {

// One platform call as the library made it (narrow-to-wide calls pass no default character).
struct ConversionCall
{
    std::uint32_t codePage;
    std::uint32_t flags;
    std::int32_t bufferSize;
    std::optional<std::string> defaultChar; // the text passed, or none for null
    bool usedDefaultGiven;
};

// Code pages 1252, 437, 65000 and 65001 are all alike in the fake: one byte per character,
// U+0000..U+00FF as themselves, U+0100 as the look-alike 'A' when best fit is allowed, and
// anything else as the default character ('?' unless one is passed). Like Windows it refuses
// flags and default-character arguments on UTF code pages, CP_ACP and CP_OEMCP included when
// they stand for one, and a buffer without a size or a size without a buffer.
struct CodePageScript
{
    std::uint32_t ansiCodePage = 1252;
    std::uint32_t oemCodePage = 437;
    // When set, gives the result of the n-th call (counting from 0) in that direction in place
    // of the table; nothing is written then.
    std::function<std::optional<std::int32_t>(std::size_t)> wideToNarrowOverride;
    std::function<std::optional<std::int32_t>(std::size_t)> narrowToWideOverride;
};

// Wide-to-narrow calls keep the script as well; narrow-to-wide ones only their records.
using WideToNarrowRecorder = Recorder<CodePageScript, ConversionCall>;
using NarrowToWideRecorder = Recorder<bool, ConversionCall>;
inline constexpr auto CodePages = WideToNarrowRecorder::Script;
inline constexpr auto WideToNarrowCalls = WideToNarrowRecorder::Calls;
inline constexpr auto NarrowToWideCalls = NarrowToWideRecorder::Calls;
void ResetCodePages();

} // namespace Tolvane::Util::Os::Fake

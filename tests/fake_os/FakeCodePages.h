// Fake backend: scripted code-page conversions that record every call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace Tolvane::Util::Os::Fake {

// One call of WideCharToMultiByte as the library made it.
struct WideToNarrowCall
{
    std::uint32_t codePage;
    std::uint32_t flags;
    std::wstring source;
    bool bufferGiven;
    std::int32_t bufferSize;
    std::optional<std::string> defaultChar; // the text passed, or none for null
    bool usedDefaultGiven;
};

// One call of MultiByteToWideChar as the library made it.
struct NarrowToWideCall
{
    std::uint32_t codePage;
    std::uint32_t flags;
    std::string source;
    bool bufferGiven;
    std::int32_t bufferSize;
};

// The fake behaves like a small Windows with these code pages:
//   1252  Latin-1 plus U+20AC at 0x80; best fit U+0100 -> 'A', U+0141 -> 'L', U+221E -> '8';
//   437   ASCII only (used as the OEM code page);
//   65000, 65001  UTF-7 stands in as UTF-8 (the fake needs only their flag rules).
// Any other code page fails. Like Windows it refuses flags other than none and default-
// character arguments on UTF code pages, including CP_ACP/CP_OEMCP when those are UTF-8.
struct CodePageScript
{
    std::uint32_t ansiCodePage = 1252;
    std::uint32_t oemCodePage = 437;
    // When set, decides the result of the n-th call (counting from 0) in that direction in
    // place of the model; nothing is written then.
    std::function<std::optional<std::int32_t>(std::size_t)> wideToNarrowOverride;
    std::function<std::optional<std::int32_t>(std::size_t)> narrowToWideOverride;
    // Record calls' texts (off for tests that count allocations).
    bool recordTexts = true;
};

CodePageScript& CodePages();
const std::vector<WideToNarrowCall>& WideToNarrowCalls();
const std::vector<NarrowToWideCall>& NarrowToWideCalls();
void ResetCodePages();

} // namespace Tolvane::Util::Os::Fake

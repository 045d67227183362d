// Fake backend: a tiny character table behind Windows' conversion calls, with recorded arguments.
#include "FakeCodePages.h"

#include "os/CodePages.h"

#include <mutex>

namespace Tolvane::Util::Os {

namespace {

std::mutex g_Lock; // conversions may run on several threads at once

// Records the call, then answers as scripted, or 0 where Windows would refuse the arguments,
// or nothing when the table is to convert.
std::optional<std::int32_t> Answer(bool toNarrow, const Fake::ConversionCall& call,
                                   bool bufferGiven, std::int32_t sourceLength)
{
    std::vector<Fake::ConversionCall>& calls =
        toNarrow ? Fake::WideToNarrowCalls() : Fake::NarrowToWideCalls();
    std::unique_lock<std::mutex> lock(g_Lock);
    calls.push_back(call);
    const std::size_t index = calls.size() - 1;
    lock.unlock();
    const Fake::CodePageScript& state = Fake::CodePages();
    const auto& script = toNarrow ? state.wideToNarrowOverride : state.narrowToWideOverride;
    if (const std::optional<std::int32_t> answer = script ? script(index) : std::nullopt)
    {
        return answer;
    }
    const std::uint32_t page = call.codePage == CodePageAnsi  ? state.ansiCodePage
                               : call.codePage == CodePageOem ? state.oemCodePage
                                                              : call.codePage;
    const bool utf = page == CodePageUtf7 || page == CodePageUtf8;
    const bool refused = (utf && (call.flags != 0 || call.defaultChar || call.usedDefaultGiven)) ||
                         !(utf || page == 1252 || page == 437) ||
                         (bufferGiven ? call.bufferSize < sourceLength : call.bufferSize != 0);
    return refused ? std::optional<std::int32_t>(0) : std::nullopt;
}

} // namespace

std::int32_t WideCharToMultiByte(std::uint32_t codePage, std::uint32_t flags, const wchar_t* source,
                                 std::int32_t sourceLength, char* destination,
                                 std::int32_t destinationSize, const char* defaultChar,
                                 std::int32_t* usedDefaultChar)
{
    const auto given = defaultChar ? std::optional<std::string>(defaultChar) : std::nullopt;
    if (const auto answer =
            Answer(true, {codePage, flags, destinationSize, given, !!usedDefaultChar},
                   destination != nullptr, sourceLength))
    {
        return *answer;
    }
    for (std::int32_t i = 0; destination != nullptr && i < sourceLength; ++i)
    {
        const auto code = static_cast<std::uint32_t>(source[i]);
        const bool bestFit = code == 0x100 && (flags & WcNoBestFitChars) == 0;
        destination[i] = code <= 0xFF ? static_cast<char>(code)
                         : bestFit    ? 'A'
                                      : (defaultChar ? *defaultChar : '?');
        if (code > 0xFF && !bestFit && usedDefaultChar)
        {
            *usedDefaultChar = 1;
        }
    }
    return sourceLength;
}

std::int32_t MultiByteToWideChar(std::uint32_t codePage, std::uint32_t flags, const char* source,
                                 std::int32_t sourceLength, wchar_t* destination,
                                 std::int32_t destinationSize)
{
    if (const auto answer = Answer(false, {codePage, flags, destinationSize, std::nullopt, false},
                                   destination != nullptr, sourceLength))
    {
        return *answer;
    }
    for (std::int32_t i = 0; destination != nullptr && i < sourceLength; ++i)
    {
        destination[i] = static_cast<unsigned char>(source[i]);
    }
    return sourceLength;
}

std::uint32_t GetAnsiCodePage()
{
    return Fake::CodePages().ansiCodePage;
}

std::uint32_t GetOemCodePage()
{
    return Fake::CodePages().oemCodePage;
}

void Fake::ResetCodePages()
{
    // The records keep their room, so that recording never allocates in a test and allocation
    // counts stay the code's.
    CodePages() = CodePageScript{};
    for (std::vector<ConversionCall>* calls : {&WideToNarrowCalls(), &NarrowToWideCalls()})
    {
        calls->clear();
        calls->reserve(64);
    }
}

} // namespace Tolvane::Util::Os

// Fake backend: a miniature of Windows' conversion calls with recorded arguments.
#include "FakeCodePages.h"

#include "os/CodePages.h"

#include <mutex>

namespace Tolvane {
namespace Util {
namespace Os {
namespace Fake {

namespace {

struct State
{
    State()
    {
        // Room for the calls of any one test, so that recording allocates the same each time.
        wideToNarrow.reserve(64);
        narrowToWide.reserve(64);
    }

    CodePageScript script;
    // Conversions may run on several threads at once (exception tests do); the records are
    // guarded, the script is only read.
    std::mutex recordLock;
    std::vector<WideToNarrowCall> wideToNarrow;
    std::vector<NarrowToWideCall> narrowToWide;
};

State& TheState()
{
    static State state;
    return state;
}

std::uint32_t Actual(std::uint32_t codePage)
{
    if (codePage == CodePageAnsi)
    {
        return TheState().script.ansiCodePage;
    }
    if (codePage == CodePageOem)
    {
        return TheState().script.oemCodePage;
    }
    return codePage;
}

bool IsUtf(std::uint32_t codePage)
{
    return codePage == CodePageUtf7 || codePage == CodePageUtf8;
}

bool IsKnown(std::uint32_t codePage)
{
    return codePage == 1252 || codePage == 437 || IsUtf(codePage);
}

// Appends the UTF-8 form of one BMP code point (no test converts any other through the fake).
void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80)
    {
        out += static_cast<char>(c);
        return;
    }
    if (c < 0x800)
    {
        out += static_cast<char>(0xC0 | (c >> 6));
    }
    else
    {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    }
    out += static_cast<char>(0x80 | (c & 0x3F));
}

std::string EncodeModel(std::uint32_t codePage, std::uint32_t flags, const std::wstring& source,
                        char defaultChar, bool& usedDefault)
{
    std::string out;
    for (std::size_t i = 0; i < source.size(); ++i)
    {
        const auto c = static_cast<char32_t>(source[i]);
        if (IsUtf(codePage))
        {
            AppendUtf8(out, c);
            continue;
        }
        const bool bestFit = (flags & WcNoBestFitChars) == 0;
        if (c < 0x80 || (codePage == 1252 && c >= 0xA0 && c <= 0xFF))
        {
            out += static_cast<char>(c);
        }
        else if (codePage == 1252 && c == 0x20AC)
        {
            out += '\x80';
        }
        else if (codePage == 1252 && bestFit && (c == 0x100 || c == 0x141 || c == 0x221E))
        {
            out += c == 0x100 ? 'A' : c == 0x141 ? 'L' : '8';
        }
        else
        {
            out += defaultChar;
            usedDefault = true;
        }
    }
    return out;
}

std::wstring DecodeModel(std::uint32_t codePage, const std::string& source)
{
    std::wstring out;
    for (std::size_t i = 0; i < source.size(); ++i)
    {
        const auto b = static_cast<unsigned char>(source[i]);
        if (IsUtf(codePage) && b >= 0xC0)
        {
            // Enough UTF-8 for the tests: two- and three-byte forms.
            const int trail = b >= 0xE0 ? 2 : 1;
            char32_t c = b & (trail == 2 ? 0x0Fu : 0x1Fu);
            for (int t = 0; t < trail && i + 1 < source.size(); ++t)
            {
                c = (c << 6) | (static_cast<unsigned char>(source[++i]) & 0x3Fu);
            }
            out += static_cast<wchar_t>(c);
        }
        else if (codePage == 1252 && b == 0x80)
        {
            out += static_cast<wchar_t>(0x20AC);
        }
        else if (codePage == 437 && b >= 0x80)
        {
            out += L'?';
        }
        else
        {
            out += static_cast<wchar_t>(b);
        }
    }
    return out;
}

template <typename Unit>
std::int32_t Deliver(const std::basic_string<Unit>& text, Unit* destination, std::int32_t size)
{
    const auto length = static_cast<std::int32_t>(text.size());
    if (size == 0)
    {
        return length;
    }
    if (length > size)
    {
        return 0; // ERROR_INSUFFICIENT_BUFFER
    }
    text.copy(destination, text.size());
    return length;
}

} // namespace

CodePageScript& CodePages()
{
    return TheState().script;
}

const std::vector<WideToNarrowCall>& WideToNarrowCalls()
{
    return TheState().wideToNarrow;
}

const std::vector<NarrowToWideCall>& NarrowToWideCalls()
{
    return TheState().narrowToWide;
}

void ResetCodePages()
{
    State& state = TheState();
    state.script = CodePageScript{};
    state.wideToNarrow.clear();
    state.narrowToWide.clear();
}

} // namespace Fake

// The seam, answered by the model above.

using namespace Fake;

std::int32_t WideCharToMultiByte(std::uint32_t codePage, std::uint32_t flags, const wchar_t* source,
                                 std::int32_t sourceLength, char* destination,
                                 std::int32_t destinationSize, const char* defaultChar,
                                 std::int32_t* usedDefaultChar)
{
    State& state = TheState();
    const std::wstring text(source, static_cast<std::size_t>(sourceLength));
    std::unique_lock<std::mutex> lock(state.recordLock);
    const std::size_t index = state.wideToNarrow.size();
    state.wideToNarrow.push_back(
        {codePage, flags, state.script.recordTexts ? text : std::wstring(), destination != nullptr,
         destinationSize,
         defaultChar != nullptr ? std::optional<std::string>(defaultChar) : std::nullopt,
         usedDefaultChar != nullptr});
    lock.unlock();
    if (state.script.wideToNarrowOverride)
    {
        if (const auto answer = state.script.wideToNarrowOverride(index))
        {
            return *answer;
        }
    }
    const std::uint32_t actual = Actual(codePage);
    if (!IsKnown(actual) || sourceLength <= 0)
    {
        return 0;
    }
    if (IsUtf(actual) && (flags != 0 || defaultChar != nullptr || usedDefaultChar != nullptr))
    {
        return 0; // ERROR_INVALID_FLAGS / ERROR_INVALID_PARAMETER
    }
    bool used = false;
    const std::string out =
        EncodeModel(actual, flags, text, defaultChar != nullptr ? *defaultChar : '?', used);
    if (usedDefaultChar != nullptr && used)
    {
        *usedDefaultChar = 1;
    }
    return Deliver(out, destination, destinationSize);
}

std::int32_t MultiByteToWideChar(std::uint32_t codePage, std::uint32_t flags, const char* source,
                                 std::int32_t sourceLength, wchar_t* destination,
                                 std::int32_t destinationSize)
{
    State& state = TheState();
    const std::string text(source, static_cast<std::size_t>(sourceLength));
    std::unique_lock<std::mutex> lock(state.recordLock);
    const std::size_t index = state.narrowToWide.size();
    state.narrowToWide.push_back({codePage, flags, state.script.recordTexts ? text : std::string(),
                                  destination != nullptr, destinationSize});
    lock.unlock();
    if (state.script.narrowToWideOverride)
    {
        if (const auto answer = state.script.narrowToWideOverride(index))
        {
            return *answer;
        }
    }
    const std::uint32_t actual = Actual(codePage);
    if (!IsKnown(actual) || sourceLength <= 0 || (IsUtf(actual) && flags != 0))
    {
        return 0;
    }
    return Deliver(DecodeModel(actual, text), destination, destinationSize);
}

std::uint32_t GetAnsiCodePage()
{
    return TheState().script.ansiCodePage;
}

std::uint32_t GetOemCodePage()
{
    return TheState().script.oemCodePage;
}

} // namespace Os
} // namespace Util
} // namespace Tolvane

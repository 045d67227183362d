// Direct two-pass conversions with the flags and default character the library uses.
#include "windows/DirectConversion.h"

#include <windows.h>

namespace Tolvane::Bench {

DirectCall MakeDirectCall(const ConversionCase& conversion)
{
    const bool utf8 = conversion.Encoding == "UTF-8";
    const unsigned codePage =
        utf8 ? CP_UTF8 : static_cast<unsigned>(std::stoul(conversion.Encoding.substr(2)));
    std::uint32_t wideToNarrow = 0;
    if (!utf8)
    {
        wideToNarrow = WC_COMPOSITECHECK | WC_SEPCHARS;
        if (conversion.BestFit == Util::StringConversion::DisallowBestFitMapping)
        {
            wideToNarrow |= WC_NO_BEST_FIT_CHARS;
        }
    }
    return DirectCall{codePage, wideToNarrow,
                      utf8 ? 0u : static_cast<std::uint32_t>(MB_PRECOMPOSED), !utf8};
}

bool DirectToNarrow(const DirectCall& call, const std::wstring& source, std::string& destination)
{
    BOOL usedDefaultChar = FALSE;
    const char* const defaultChar = call.DefaultChar ? "?" : nullptr;
    BOOL* const used = call.DefaultChar ? &usedDefaultChar : nullptr;
    const int length = static_cast<int>(source.size());
    const int needed = WideCharToMultiByte(call.CodePage, call.WideToNarrowFlags, source.data(),
                                           length, nullptr, 0, defaultChar, used);
    if (needed <= 0)
    {
        return false;
    }
    destination.resize(static_cast<std::size_t>(needed));
    const int written = WideCharToMultiByte(call.CodePage, call.WideToNarrowFlags, source.data(),
                                            length, &destination[0], needed, defaultChar, used);
    if (written <= 0)
    {
        return false;
    }
    destination.resize(static_cast<std::size_t>(written));
    return true;
}

bool DirectToWide(const DirectCall& call, const std::string& source, std::wstring& destination)
{
    const int length = static_cast<int>(source.size());
    const int needed = MultiByteToWideChar(call.CodePage, call.NarrowToWideFlags, source.data(),
                                           length, nullptr, 0);
    if (needed <= 0)
    {
        return false;
    }
    destination.resize(static_cast<std::size_t>(needed));
    const int written = MultiByteToWideChar(call.CodePage, call.NarrowToWideFlags, source.data(),
                                            length, &destination[0], needed);
    if (written <= 0)
    {
        return false;
    }
    destination.resize(static_cast<std::size_t>(written));
    return true;
}

} // namespace Tolvane::Bench

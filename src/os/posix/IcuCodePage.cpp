// posix backend: ICU converters standing in for Windows' code-page tables.
//
// Converters are opened per call (ICU caches the tables, so that costs tens of nanoseconds)
// and named "windows-N" first, then "cpN": the IBM variants that other names select differ
// from Windows.
#include "os/posix/IcuCodePage.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ucnv_err.h>

#include <memory>
#include <string>
#include <vector>

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

struct ConverterCloser
{
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};

using Converter = std::unique_ptr<UConverter, ConverterCloser>;

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

Converter OpenConverter(std::uint32_t codePage)
{
    if (IsExcludedCodePage(codePage))
    {
        return nullptr;
    }
    std::vector<std::string> names;
    if (codePage == 28591)
    {
        names.push_back("ISO-8859-1");
    }
    else if (codePage == 65000)
    {
        names.push_back("UTF-7");
    }
    else
    {
        names.push_back("windows-" + std::to_string(codePage));
        names.push_back("cp" + std::to_string(codePage));
    }
    for (const std::string& name : names)
    {
        UErrorCode status = U_ZERO_ERROR;
        Converter converter(ucnv_open(name.c_str(), &status));
        if (U_SUCCESS(status) && converter)
        {
            return converter;
        }
    }
    return nullptr;
}

// UTF-32 to UTF-16 for ICU. A value that is no code point becomes a lone surrogate, which
// ICU reports as illegal input and the substitution callback replaces.
std::u16string ToUtf16(const wchar_t* input, std::size_t length)
{
    std::u16string result;
    result.reserve(length);
    for (std::size_t i = 0; i < length; ++i)
    {
        const auto c = static_cast<std::uint32_t>(input[i]);
        if (c < 0x10000)
        {
            result.push_back(static_cast<char16_t>(c));
        }
        else if (c <= 0x10FFFF)
        {
            result.push_back(static_cast<char16_t>(0xD7C0 + (c >> 10)));
            result.push_back(static_cast<char16_t>(0xDC00 | (c & 0x3FF)));
        }
        else
        {
            result.push_back(u'\xDFFF');
        }
    }
    return result;
}

// Writes each substitution as Windows does: the default character once per UTF-16 unit of
// the character that could not be converted, noting that a substitution happened.
void SubstituteFromUnicode(const void* context, UConverterFromUnicodeArgs* args,
                           const UChar* /*codeUnits*/, int32_t length, UChar32 /*codePoint*/,
                           UConverterCallbackReason reason, UErrorCode* status)
{
    if (reason > UCNV_IRREGULAR)
    {
        return; // reset, close and clone notifications
    }
    *const_cast<bool*>(static_cast<const bool*>(context)) = true;
    *status = U_ZERO_ERROR;
    for (int32_t i = 0; i < length && U_SUCCESS(*status); ++i)
    {
        ucnv_cbFromUWriteSub(args, 0, status);
    }
}

// The code page's own question mark: '?' in ASCII-based pages, 0x6F in EBCDIC ones.
char SystemDefaultChar(UConverter* converter)
{
    char questionMark = '?';
    UErrorCode status = U_ZERO_ERROR;
    const UChar source[] = {u'?'};
    const int32_t written = ucnv_fromUChars(converter, &questionMark, 1, source, 1, &status);
    ucnv_reset(converter);
    return (U_SUCCESS(status) || status == U_STRING_NOT_TERMINATED_WARNING) && written == 1
               ? questionMark
               : '?';
}

// The default character that Windows writes for bytes that do not decode.
UChar NarrowDefaultChar(std::uint32_t codePage)
{
    return codePage == 932 ? u'\x30FB' : codePage == 65000 ? u'\xFFFD' : u'?';
}

void SubstituteToUnicode(const void* context, UConverterToUnicodeArgs* args,
                         const char* /*codeUnits*/, int32_t /*length*/,
                         UConverterCallbackReason reason, UErrorCode* status)
{
    if (reason > UCNV_IRREGULAR)
    {
        return;
    }
    *status = U_ZERO_ERROR;
    ucnv_cbToUWriteUChars(args, static_cast<const UChar*>(context), 1, 0, status);
}

bool Succeeded(UErrorCode status)
{
    return U_SUCCESS(status) || status == U_STRING_NOT_TERMINATED_WARNING;
}

} // namespace

IcuResult IcuFromWide(std::uint32_t codePage, bool bestFit, const wchar_t* input,
                      std::size_t length, const char* defaultChar, bool& usedDefault, char* output,
                      std::size_t capacity)
{
    Converter converter = OpenConverter(codePage);
    if (!converter)
    {
        return {false, 0};
    }
    const char substitute =
        defaultChar != nullptr ? *defaultChar : SystemDefaultChar(converter.get());
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setSubstChars(converter.get(), &substitute, 1, &status);
    ucnv_setFallback(converter.get(), static_cast<UBool>(bestFit));
    bool substituted = false;
    ucnv_setFromUCallBack(converter.get(), SubstituteFromUnicode, &substituted, nullptr, nullptr,
                          &status);
    if (U_FAILURE(status))
    {
        return {false, 0};
    }
    const std::u16string utf16 = ToUtf16(input, length);
    const int32_t needed =
        ucnv_fromUChars(converter.get(), output, static_cast<int32_t>(capacity), utf16.data(),
                        static_cast<int32_t>(utf16.size()), &status);
    usedDefault = substituted;
    if (status == U_BUFFER_OVERFLOW_ERROR && capacity == 0)
    {
        return {true, static_cast<std::size_t>(needed)};
    }
    return {Succeeded(status), static_cast<std::size_t>(needed)};
}

IcuResult IcuToWide(std::uint32_t codePage, const char* input, std::size_t length, wchar_t* output,
                    std::size_t capacity)
{
    Converter converter = OpenConverter(codePage);
    if (!converter)
    {
        return {false, 0};
    }
    const UChar defaultChar = NarrowDefaultChar(codePage);
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setToUCallBack(converter.get(), SubstituteToUnicode, &defaultChar, nullptr, nullptr,
                        &status);
    if (U_FAILURE(status))
    {
        return {false, 0};
    }
    // ICU writes UTF-16; a first pass learns its length.
    const int32_t utf16Length =
        ucnv_toUChars(converter.get(), nullptr, 0, input, static_cast<int32_t>(length), &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && !Succeeded(status))
    {
        return {false, 0};
    }
    std::u16string utf16(static_cast<std::size_t>(utf16Length), u'\0');
    status = U_ZERO_ERROR;
    ucnv_toUChars(converter.get(), utf16.data(), utf16Length, input, static_cast<int32_t>(length),
                  &status);
    if (!Succeeded(status))
    {
        return {false, 0};
    }
    // UTF-16 to UTF-32: pairs combine, lone surrogates pass as they are.
    std::size_t count = 0;
    for (std::size_t i = 0; i < utf16.size(); ++i)
    {
        char32_t c = utf16[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF)
        {
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00u);
            ++i;
        }
        if (count < capacity)
        {
            output[count] = static_cast<wchar_t>(c);
        }
        ++count;
    }
    return {count <= capacity || capacity == 0, count};
}

} // namespace Posix
} // namespace Os
} // namespace Util
} // namespace Tolvane

// posix backend: narrow to wide through ICU, with Windows' answers for bytes that do not decode.
#include "os/posix/IcuCodePage.h"

#include "os/posix/CodePageQuirks.h"
#include "os/posix/IcuConverter.h"
#include "os/posix/Sinks.h"

#include <unicode/ucnv_cb.h>
#include <unicode/ucnv_err.h>

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

constexpr std::size_t ChunkUnits = 256;

struct DecodingState
{
    std::uint32_t codePage;
    UChar defaultChar;
    bool doubleByte;
    UBool leadBytes[256];
    const WindowsByte* bytes;
    std::size_t byteCount;
};

// Writes Windows' answer for bytes that ICU cannot decode: the page's own mapping where
// Windows has one, else its default character. A double-byte page's lead byte takes the
// following byte with it (unless that is NUL), as on Windows, even when that byte would be a
// character of its own.
void SubstituteToUnicode(const void* context, UConverterToUnicodeArgs* args, const char* codeUnits,
                         int32_t length, UConverterCallbackReason reason, UErrorCode* status)
{
    if (reason > UCNV_IRREGULAR)
    {
        return;
    }
    const auto& state = *static_cast<const DecodingState*>(context);
    *status = U_ZERO_ERROR;
    UChar out = state.defaultChar;
    if (length == 1)
    {
        const auto byte = static_cast<unsigned char>(codeUnits[0]);
        const WindowsByte* entry = nullptr;
        for (std::size_t i = 0; i < state.byteCount && entry == nullptr; ++i)
        {
            if (state.bytes[i].byte == byte && state.bytes[i].icu == 0)
            {
                entry = &state.bytes[i];
            }
        }
        if (entry != nullptr)
        {
            out = entry->windows;
        }
        else if (state.codePage == 20127 && byte >= 0x80)
        {
            out = static_cast<UChar>(byte & 0x7F); // Windows drops the eighth bit
        }
        else if (state.doubleByte && state.leadBytes[byte] && args->source < args->sourceLimit &&
                 *args->source != '\0')
        {
            ++args->source;
        }
    }
    ucnv_cbToUWriteUChars(args, &out, 1, 0, status);
}

} // namespace

IcuResult IcuToWide(std::uint32_t codePage, const char* input, std::size_t length, wchar_t* output,
                    std::size_t capacity)
{
    Converter converter = OpenConverter(codePage);
    if (!converter)
    {
        return {false, 0};
    }
    const PageTraits traits = ProbePage(converter.get());
    DecodingState state{};
    state.codePage = codePage;
    state.defaultChar = NarrowDefaultChar(codePage);
    state.bytes = WindowsBytes(codePage, state.byteCount);
    UErrorCode status = U_ZERO_ERROR;
    if (ucnv_getMaxCharSize(converter.get()) == 2 && ucnv_getMinCharSize(converter.get()) == 1)
    {
        ucnv_getStarters(converter.get(), state.leadBytes, &status);
        state.doubleByte = U_SUCCESS(status);
        status = U_ZERO_ERROR;
    }
    ucnv_setToUCallBack(converter.get(), SubstituteToUnicode, &state, nullptr, nullptr, &status);
    if (U_FAILURE(status))
    {
        return {false, 0};
    }

    Utf16ToWideSink sink(output, capacity);
    const char* source = input;
    const char* const limit = input + length;
    bool failed = false;
    status = U_BUFFER_OVERFLOW_ERROR;
    while (status == U_BUFFER_OVERFLOW_ERROR)
    {
        UChar scratch[ChunkUnits];
        UChar* target = scratch;
        status = U_ZERO_ERROR;
        ucnv_toUnicode(converter.get(), &target, scratch + ChunkUnits, &source, limit, nullptr,
                       true, &status);
        for (const UChar* unit = scratch; unit != target; ++unit)
        {
            char32_t c = *unit;
            if (traits.rotated)
            {
                c = UnrotateDecoded(c);
            }
            for (std::size_t i = 0; i < state.byteCount; ++i)
            {
                if (state.bytes[i].icu != 0 && state.bytes[i].icu == c)
                {
                    c = state.bytes[i].windows;
                    break;
                }
            }
            sink.Put(c);
        }
        failed = status != U_BUFFER_OVERFLOW_ERROR && !Succeeded(status);
    }
    return {!failed, sink.Finish()};
}

} // namespace Posix
} // namespace Os
} // namespace Util
} // namespace Tolvane

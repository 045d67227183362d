// posix backend: wide to narrow through ICU, with Windows' substitutions and exceptions.
//
// Text goes through ICU in chunks on the stack, so a conversion allocates nothing, and the
// sizing call runs the same code as the converting one.
#include "os/posix/IcuCodePage.h"

#include "os/posix/CodePageQuirks.h"
#include "os/posix/IcuConverter.h"
#include "os/posix/Sinks.h"

#include <unicode/ucnv_cb.h>
#include <unicode/ucnv_err.h>
#include <unicode/unorm2.h>

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
constexpr std::size_t ScratchBytes = 4 * ChunkUnits; // a chunk of SBCS or DBCS output fits
constexpr char32_t FirstCombiningMark = 0x300; // nothing below composes with a preceding letter

const WindowsByte* FindWindowsCodePoint(const WindowsByte* bytes, std::size_t count, char32_t c)
{
    for (std::size_t i = 0; i < count; ++i)
    {
        if (bytes[i].windows == c)
        {
            return &bytes[i];
        }
    }
    return nullptr;
}

struct SubstitutionState
{
    bool used = false;
    std::size_t substitutedUnits = 0; // by the callback, in the chunk being converted
};

// Writes each substitution as Windows does: the default character once per UTF-16 unit of
// the character that could not be converted (ICU's own substitution callback would drop
// default-ignorable characters instead), noting that a substitution happened.
void SubstituteFromUnicode(const void* context, UConverterFromUnicodeArgs* args,
                           const UChar* /*codeUnits*/, int32_t length, UChar32 /*codePoint*/,
                           UConverterCallbackReason reason, UErrorCode* status)
{
    if (reason > UCNV_IRREGULAR)
    {
        return; // reset, close and clone notifications
    }
    auto& state = *static_cast<SubstitutionState*>(const_cast<void*>(context));
    state.used = true;
    state.substitutedUnits += static_cast<std::size_t>(length);
    *status = U_ZERO_ERROR;
    for (int32_t i = 0; i < length && U_SUCCESS(*status); ++i)
    {
        ucnv_cbFromUWriteSub(args, 0, status);
    }
}

// Feeds characters to ICU a chunk at a time, writing bytes that Windows maps otherwise
// directly between chunks.
class Encoder
{
public:
    Encoder(UConverter* converter, char substitute, bool reportQuestionMarks, char questionMark,
            SubstitutionState& state, char* output, std::size_t capacity)
        : m_Converter(converter), m_Substitute(substitute),
          m_ReportQuestionMarks(reportQuestionMarks), m_QuestionMark(questionMark), m_State(state),
          m_Sink(output, capacity)
    {
    }

    void Add(char32_t c)
    {
        if (m_Length + 2 > ChunkUnits)
        {
            Flush();
        }
        if (c >= 0x10000)
        {
            m_Chunk[m_Length++] = static_cast<UChar>(0xD7C0 + (c >> 10));
            m_Chunk[m_Length++] = static_cast<UChar>(0xDC00 | (c & 0x3FF));
        }
        else
        {
            m_QuestionMarks += c == u'?' ? 1 : 0;
            m_Chunk[m_Length++] = static_cast<UChar>(c);
        }
    }

    void Direct(unsigned char byte)
    {
        Flush();
        m_Sink.Put(static_cast<char>(byte));
    }

    void Substitute(std::size_t units)
    {
        Flush();
        m_State.used = true;
        for (std::size_t i = 0; i < units; ++i)
        {
            m_Sink.Put(m_Substitute);
        }
    }

    // Converts what is left; false when ICU failed.
    bool Finish()
    {
        Flush();
        return !m_Failed;
    }

    std::size_t Count() const { return m_Sink.Count(); }

private:
    void Flush()
    {
        if (m_Length == 0)
        {
            return;
        }
        const std::size_t length = m_Length;
        const std::size_t questionMarks = m_QuestionMarks;
        m_Length = 0;
        m_QuestionMarks = 0;
        if (!FlushFast(length, questionMarks))
        {
            ucnv_resetFromUnicode(m_Converter);
            FlushWithOffsets(length);
        }
    }

    // Converts the chunk in one go, unless it does not fit the scratch buffer or it has a
    // question mark that no '?' and no substitution explains: then it gives false and has
    // written nothing.
    bool FlushFast(std::size_t length, std::size_t questionMarks)
    {
        char scratch[ScratchBytes];
        char* target = scratch;
        const UChar* source = m_Chunk;
        m_State.substitutedUnits = 0;
        UErrorCode status = U_ZERO_ERROR;
        ucnv_fromUnicode(m_Converter, &target, scratch + ScratchBytes, &source, m_Chunk + length,
                         nullptr, true, &status);
        if (status == U_BUFFER_OVERFLOW_ERROR)
        {
            return false;
        }
        const auto written = static_cast<std::size_t>(target - scratch);
        if (m_ReportQuestionMarks)
        {
            const std::size_t expected =
                questionMarks + (m_Substitute == m_QuestionMark ? m_State.substitutedUnits : 0);
            std::size_t found = 0;
            for (std::size_t i = 0; i < written; ++i)
            {
                found += scratch[i] == m_QuestionMark ? 1 : 0;
            }
            if (found > expected)
            {
                return false;
            }
        }
        if (!Succeeded(status))
        {
            m_Failed = true;
        }
        m_Sink.Append(scratch, written);
        return true;
    }

    // The slow way: ICU tells which character each byte came from, so that a best fit that
    // lands on the question mark can be told from a real one. Windows counts such a best fit
    // as a default character and writes the caller's one instead.
    void FlushWithOffsets(std::size_t length)
    {
        const UChar* source = m_Chunk;
        const UChar* const limit = m_Chunk + length;
        UErrorCode status = U_BUFFER_OVERFLOW_ERROR;
        while (status == U_BUFFER_OVERFLOW_ERROR)
        {
            char scratch[ScratchBytes];
            int32_t offsets[ScratchBytes];
            char* target = scratch;
            const UChar* const start = source;
            status = U_ZERO_ERROR;
            ucnv_fromUnicode(m_Converter, &target, scratch + ScratchBytes, &source, limit, offsets,
                             true, &status);
            const auto written = static_cast<std::size_t>(target - scratch);
            for (std::size_t i = 0; i < written; ++i)
            {
                if (m_ReportQuestionMarks && scratch[i] == m_QuestionMark && offsets[i] >= 0 &&
                    start[offsets[i]] != u'?')
                {
                    m_State.used = true;
                    m_Sink.Put(m_Substitute);
                }
                else
                {
                    m_Sink.Put(scratch[i]);
                }
            }
            if (status != U_BUFFER_OVERFLOW_ERROR && !Succeeded(status))
            {
                m_Failed = true;
            }
        }
    }

    UConverter* m_Converter;
    char m_Substitute;
    bool m_ReportQuestionMarks;
    char m_QuestionMark;
    SubstitutionState& m_State;
    CountingSink<char> m_Sink;
    UChar m_Chunk[ChunkUnits];
    std::size_t m_Length = 0;
    std::size_t m_QuestionMarks = 0; // U+003F units in the chunk
    bool m_Failed = false;
};

// Whether Windows would write `c` as a character of the page (not as the default character),
// asked of a second converter so that the first one's stream is not disturbed.
class MappingProbe
{
public:
    MappingProbe(std::uint32_t codePage, bool bestFit, char questionMark)
        : m_CodePage(codePage), m_BestFit(bestFit), m_QuestionMark(questionMark)
    {
    }

    bool Maps(char32_t c)
    {
        if (!m_Converter)
        {
            m_Converter = OpenConverter(m_CodePage);
            if (!m_Converter)
            {
                return false;
            }
            UErrorCode status = U_ZERO_ERROR;
            ucnv_setFromUCallBack(m_Converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr,
                                  nullptr, &status);
            ucnv_setFallback(m_Converter.get(), static_cast<UBool>(m_BestFit));
        }
        UChar units[2];
        int32_t length = 1;
        if (c >= 0x10000)
        {
            units[0] = static_cast<UChar>(0xD7C0 + (c >> 10));
            units[1] = static_cast<UChar>(0xDC00 | (c & 0x3FF));
            length = 2;
        }
        else
        {
            units[0] = static_cast<UChar>(c);
        }
        char bytes[8];
        UErrorCode status = U_ZERO_ERROR;
        const int32_t written =
            ucnv_fromUChars(m_Converter.get(), bytes, sizeof bytes, units, length, &status);
        ucnv_reset(m_Converter.get());
        return Succeeded(status) && written > 0 && !(written == 1 && bytes[0] == m_QuestionMark);
    }

private:
    std::uint32_t m_CodePage;
    bool m_BestFit;
    char m_QuestionMark;
    Converter m_Converter;
};

// Wide characters and what Windows does with them before ICU sees them.
class WideFeeder
{
public:
    WideFeeder(std::uint32_t codePage, const PageTraits& traits, Encoder& encoder)
        : m_CodePage(codePage), m_Traits(traits), m_Encoder(encoder)
    {
        m_Bytes = WindowsBytes(codePage, m_ByteCount);
    }

    // Whether `c` gets a byte of the page from Windows' own table.
    bool HasWindowsByte(char32_t c) const
    {
        return FindWindowsCodePoint(m_Bytes, m_ByteCount, c) != nullptr;
    }

    void Feed(char32_t c)
    {
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        {
            m_Encoder.Substitute(1); // no character at all: one default for the unit
            return;
        }
        if (c < 0x80)
        {
            m_Encoder.Add(m_Traits.rotated && (c == 0x1A || c == 0x1C || c == 0x7F)
                              ? RotateForEncoding(c)
                              : c);
            return;
        }
        if (const WindowsByte* entry = FindWindowsCodePoint(m_Bytes, m_ByteCount, c))
        {
            m_Encoder.Direct(entry->byte);
            return;
        }
        if (IsUnmappedOnWindows(m_CodePage, c))
        {
            m_Encoder.Substitute(c >= 0x10000 ? 2 : 1);
            return;
        }
        m_Encoder.Add(c);
    }

private:
    std::uint32_t m_CodePage;
    const PageTraits& m_Traits;
    Encoder& m_Encoder;
    const WindowsByte* m_Bytes = nullptr;
    std::size_t m_ByteCount = 0;
};

} // namespace

IcuResult IcuFromWide(std::uint32_t codePage, const WideOptions& options, const wchar_t* input,
                      std::size_t length, bool& usedDefault, char* output, std::size_t capacity)
{
    Converter converter = OpenConverter(codePage);
    if (!converter)
    {
        return {false, 0};
    }
    const PageTraits traits = ProbePage(converter.get());
    const char substitute =
        options.defaultChar != nullptr ? *options.defaultChar : traits.questionMark;
    SubstitutionState state;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setSubstChars(converter.get(), &substitute, 1, &status);
    ucnv_setFallback(converter.get(), static_cast<UBool>(options.bestFit));
    ucnv_setFromUCallBack(converter.get(), SubstituteFromUnicode, &state, nullptr, nullptr,
                          &status);
    const UNormalizer2* composer = nullptr;
    if (options.compositeCheck)
    {
        composer = unorm2_getNFCInstance(&status);
    }
    if (U_FAILURE(status))
    {
        return {false, 0};
    }

    // Only ASCII-based pages: in double-byte EBCDIC the question mark (0x6F) is also a
    // trail byte.
    const bool reportQuestionMarks = options.defaultChar != nullptr && traits.questionMark == '?';
    Encoder encoder(converter.get(), substitute, reportQuestionMarks, traits.questionMark, state,
                    output, capacity);
    WideFeeder feeder(codePage, traits, encoder);
    MappingProbe probe(codePage, options.bestFit, traits.questionMark);
    for (std::size_t i = 0; i < length; ++i)
    {
        auto c = static_cast<char32_t>(input[i]);
        // WC_COMPOSITECHECK: a letter and a following combining mark become the precomposed
        // character when the page has that (exactly, or by best fit when allowed).
        // Most characters start a new composition (a boundary before them), which ICU tells
        // cheaply; only the others are tried against the one before.
        if (composer != nullptr && i + 1 < length &&
            static_cast<char32_t>(input[i + 1]) >= FirstCombiningMark && c <= 0x10FFFF &&
            static_cast<char32_t>(input[i + 1]) <= 0x10FFFF &&
            !unorm2_hasBoundaryBefore(composer, static_cast<UChar32>(input[i + 1])))
        {
            const UChar32 composed = unorm2_composePair(composer, static_cast<UChar32>(c),
                                                        static_cast<UChar32>(input[i + 1]));
            if (composed >= 0 && !IsUnmappedOnWindows(codePage, static_cast<char32_t>(composed)) &&
                (feeder.HasWindowsByte(static_cast<char32_t>(composed)) ||
                 probe.Maps(static_cast<char32_t>(composed))))
            {
                c = static_cast<char32_t>(composed);
                ++i;
            }
        }
        feeder.Feed(c);
    }
    const bool ok = encoder.Finish();
    usedDefault = state.used;
    return {ok, encoder.Count()};
}

} // namespace Posix
} // namespace Os
} // namespace Util
} // namespace Tolvane

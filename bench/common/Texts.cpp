// Sample texts, repeated to the requested length.
#include "common/Texts.h"

namespace Tolvane::Bench {

namespace {

const char32_t* Sample(TextKind kind)
{
    switch (kind)
    {
    case TextKind::Ascii:
        return U"The quick brown fox jumps over the lazy dog; 0123456789 times. ";
    case TextKind::Mixed:
        return U"Grüße aus Köln, naïve café 東京の天気は晴れ 😀🎉 Ωμέγα 한국어 🚀 déjà vu. ";
    case TextKind::Western:
        return U"Café crème, façade – 5 € … “quoted” Āmbit Łódź Œuvre 日本 ✓ ok. ";
    case TextKind::Japanese:
        return U"吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。ＡＢＣ abc 123 "
               U"ｶﾀｶﾅ。";
    }
    return U"";
}

void AppendCodePoint(std::wstring& text, char32_t codePoint)
{
    if (sizeof(wchar_t) == 2 && codePoint > 0xFFFF)
    {
        const char32_t offset = codePoint - 0x10000;
        text.push_back(static_cast<wchar_t>(0xD800 + (offset >> 10)));
        text.push_back(static_cast<wchar_t>(0xDC00 + (offset & 0x3FF)));
        return;
    }
    text.push_back(static_cast<wchar_t>(codePoint));
}

} // namespace

std::wstring MakeText(TextKind kind, std::size_t characters)
{
    const char32_t* const sample = Sample(kind);
    std::wstring text;
    text.reserve(characters * (sizeof(wchar_t) == 2 ? 2 : 1));
    const char32_t* next = sample;
    for (std::size_t count = 0; count < characters; ++count)
    {
        if (*next == U'\0')
        {
            next = sample;
        }
        AppendCodePoint(text, *next++);
    }
    return text;
}

} // namespace Tolvane::Bench

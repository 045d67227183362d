// A coarse test of eight wide units at once: whether any of them may compose with the unit
// before it, or lies above U+FFFF. It errs only towards "may", so a caller that gets false
// can take all eight as plain units and must look at each one only otherwise.
#pragma once

#include "os/posix/CodePageTables.h"

#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Tolvane::Util::Os::Posix {

// The units that PlainBlockTest::CertainlyPlain tests at once.
constexpr std::size_t PlainBlockUnits = 8;

#if defined(__SSE2__)
// The units are saturated to 16 signed bits: every combining unit lies below U+7FFF and keeps
// its value, while a unit from U+7FFF up becomes 0x7FFF and one above 0x7FFFFFFF becomes
// -0x8000; both of those count as "may". A unit is in [first, last] when its distance from
// `first`, as an unsigned 16-bit number, is at most last - first. The spans are set up when
// the test is made, outside the caller's loop.
class PlainBlockTest
{
public:
    PlainBlockTest()
    {
        SetSpan(0, 0x7FFF, 0x8000);
        for (std::size_t span = 0; span < CombiningSpanCount; ++span)
        {
            SetSpan(span + 1, CombiningSpans[2 * span], CombiningSpans[2 * span + 1]);
        }
    }

    bool CertainlyPlain(const wchar_t* input) const
    {
        static_assert(sizeof(wchar_t) == 4, "wide units are UTF-32 here");
        const __m128i units =
            _mm_packs_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(input)),
                            _mm_loadu_si128(reinterpret_cast<const __m128i*>(input + 4)));
        __m128i may = _mm_setzero_si128();
        for (std::size_t span = 0; span < Spans; ++span)
        {
            const __m128i distance = _mm_sub_epi16(units, m_First[span]);
            may = _mm_or_si128(
                may, _mm_cmpeq_epi16(_mm_subs_epu16(distance, m_Width[span]), _mm_setzero_si128()));
        }
        return _mm_movemask_epi8(may) == 0;
    }

private:
    static constexpr std::size_t Spans = CombiningSpanCount + 1;

    void SetSpan(std::size_t span, int first, int last)
    {
        m_First[span] = _mm_set1_epi16(static_cast<short>(first));
        m_Width[span] = _mm_set1_epi16(static_cast<short>(last - first));
    }

    __m128i m_First[Spans];
    __m128i m_Width[Spans];
};
#else
class PlainBlockTest
{
public:
    bool CertainlyPlain(const wchar_t*) const
    {
        return false; // every unit is looked at on its own
    }
};
#endif

} // namespace Tolvane::Util::Os::Posix

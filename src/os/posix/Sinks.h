// Output counters for the posix converters: they write what fits and count everything, so one
// pass serves both the sizing call and the converting call.
#pragma once

#include <algorithm>
#include <cstddef>

namespace Tolvane::Util::Os::Posix {

// Writes units while they fit and counts all of them.
template <typename Unit>
class CountingSink
{
public:
    CountingSink(Unit* output, std::size_t capacity) : m_Output(output), m_Capacity(capacity) {}

    void Put(Unit unit)
    {
        if (m_Count < m_Capacity)
        {
            m_Output[m_Count] = unit;
        }
        ++m_Count;
    }

    void Append(const Unit* units, std::size_t count)
    {
        if (m_Count < m_Capacity)
        {
            const std::size_t room = m_Capacity - m_Count;
            std::copy(units, units + (count < room ? count : room), m_Output + m_Count);
        }
        m_Count += count;
    }

    std::size_t Count() const { return m_Count; }

private:
    Unit* m_Output;
    std::size_t m_Capacity;
    std::size_t m_Count = 0;
};

// Takes UTF-16 units and writes code points to wchar_t (UTF-32): a high surrogate waits for
// its low half; lone surrogates pass through as they are.
class Utf16ToWideSink
{
public:
    Utf16ToWideSink(wchar_t* output, std::size_t capacity) : m_Sink(output, capacity) {}

    void Put(char32_t unit)
    {
        if (m_PendingHigh != 0)
        {
            const char32_t high = m_PendingHigh;
            m_PendingHigh = 0;
            if (unit >= 0xDC00 && unit <= 0xDFFF)
            {
                m_Sink.Put(
                    static_cast<wchar_t>(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00)));
                return;
            }
            m_Sink.Put(static_cast<wchar_t>(high));
        }
        if (unit >= 0xD800 && unit <= 0xDBFF)
        {
            m_PendingHigh = unit;
            return;
        }
        m_Sink.Put(static_cast<wchar_t>(unit));
    }

    // Writes a high surrogate still waiting and gives the number of units written in all.
    std::size_t Finish()
    {
        if (m_PendingHigh != 0)
        {
            m_Sink.Put(static_cast<wchar_t>(m_PendingHigh));
            m_PendingHigh = 0;
        }
        return m_Sink.Count();
    }

private:
    CountingSink<wchar_t> m_Sink;
    char32_t m_PendingHigh = 0;
};

} // namespace Tolvane::Util::Os::Posix

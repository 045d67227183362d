// Tables made from the generated ones on first use, for long texts, where one more lookup per
// character costs more than making the table once. Each is made at most once per thread that
// races for it: the first to publish it wins, and the others free theirs.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <new>

namespace Tolvane::Util::Os::Posix {

template <typename Entry>
class LazyTables
{
public:
    // `slots` tables of `entries` entries each, none made yet.
    LazyTables(std::size_t slots, std::size_t entries)
        : m_Slots(new (std::nothrow) std::atomic<Entry*>[slots]()), m_Count(slots),
          m_Entries(entries)
    {
    }
    ~LazyTables()
    {
        for (std::size_t k = 0; m_Slots && k < m_Count; ++k)
        {
            delete[] m_Slots[k].load();
        }
    }
    LazyTables(const LazyTables&) = delete;
    LazyTables& operator=(const LazyTables&) = delete;

    // The table of `slot`, which `make(table)` fills if this is its first use; null when the
    // memory is not to be had.
    template <typename Make>
    const Entry* Get(std::size_t slot, Make make)
    {
        if (!m_Slots)
        {
            return nullptr;
        }
        std::atomic<Entry*>& published = m_Slots[slot];
        Entry* table = published.load(std::memory_order_acquire);
        if (table != nullptr)
        {
            return table;
        }
        std::unique_ptr<Entry[]> made(new (std::nothrow) Entry[m_Entries]);
        if (!made)
        {
            return nullptr;
        }
        make(made.get());
        if (published.compare_exchange_strong(table, made.get(), std::memory_order_acq_rel,
                                              std::memory_order_acquire))
        {
            return made.release();
        }
        return table; // another thread published its table first
    }

private:
    std::unique_ptr<std::atomic<Entry*>[]> m_Slots;
    std::size_t m_Count;
    std::size_t m_Entries;
};

} // namespace Tolvane::Util::Os::Posix

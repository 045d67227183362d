// Each flat table is made from the blocks at most once per thread that races for it: the first
// to publish it wins, and the others free theirs.
#include "os/posix/FlatRunCodes.h"

#include <atomic>
#include <memory>
#include <new>

namespace Tolvane::Util::Os::Posix {

namespace {

constexpr std::size_t FlatUnits = 0x10000;

class FlatTables
{
public:
    FlatTables()
        : m_Tables(new (std::nothrow) std::atomic<std::uint16_t*>[2 * CodePageTableCount]())
    {
    }
    ~FlatTables()
    {
        for (std::size_t k = 0; m_Tables && k < 2 * CodePageTableCount; ++k)
        {
            delete[] m_Tables[k].load();
        }
    }
    FlatTables(const FlatTables&) = delete;
    FlatTables& operator=(const FlatTables&) = delete;

    const std::uint16_t* Get(const CodePageTable& page, bool bestFit)
    {
        if (!m_Tables)
        {
            return nullptr;
        }
        std::atomic<std::uint16_t*>& slot =
            m_Tables[2 * static_cast<std::size_t>(&page - CodePageTables) + (bestFit ? 1 : 0)];
        std::uint16_t* table = slot.load(std::memory_order_acquire);
        if (table != nullptr)
        {
            return table;
        }
        std::unique_ptr<std::uint16_t[]> made(new (std::nothrow) std::uint16_t[FlatUnits]);
        if (!made)
        {
            return nullptr;
        }
        const std::int32_t* const bases = bestFit ? page.wideRunBases : page.exactRunBases;
        for (std::size_t unit = 0; unit < FlatUnits; ++unit)
        {
            made[unit] = WideCodes[bases[unit >> WideBlockShift] + static_cast<std::int32_t>(unit)];
        }
        if (slot.compare_exchange_strong(table, made.get(), std::memory_order_acq_rel,
                                         std::memory_order_acquire))
        {
            return made.release();
        }
        return table; // another thread published its table first
    }

private:
    std::unique_ptr<std::atomic<std::uint16_t*>[]> m_Tables;
};

} // namespace

const std::uint16_t* FlatRunCodes(const CodePageTable& page, bool bestFit)
{
    static FlatTables tables;
    return tables.Get(page, bestFit);
}

} // namespace Tolvane::Util::Os::Posix

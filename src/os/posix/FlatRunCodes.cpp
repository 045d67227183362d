// Each flat table is made from the blocks at most once per thread that races for it: the first
// to publish it wins, and the others free theirs.
#include "os/posix/FlatRunCodes.h"

#include <atomic>
#include <memory>
#include <new>

namespace Tolvane::Util::Os::Posix {

namespace {

constexpr std::size_t FlatUnits = 0x10000;
// The codes, then the lengths (two to a slot).
constexpr std::size_t FlatSlots = FlatUnits + FlatUnits / 2;

std::uint8_t LengthOf(std::uint16_t code)
{
    return code == NoCode          ? FlatRunNoCode
           : code == ComposingCode ? FlatRunComposing
                                   : static_cast<std::uint8_t>(CodeBytes(code));
}

FlatRun Parts(const std::uint16_t* table)
{
    return {table, reinterpret_cast<const std::uint8_t*>(table + FlatUnits)};
}

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

    FlatRun Get(const CodePageTable& page, bool bestFit)
    {
        if (!m_Tables)
        {
            return {nullptr, nullptr};
        }
        std::atomic<std::uint16_t*>& slot =
            m_Tables[2 * static_cast<std::size_t>(&page - CodePageTables) + (bestFit ? 1 : 0)];
        std::uint16_t* table = slot.load(std::memory_order_acquire);
        if (table != nullptr)
        {
            return Parts(table);
        }
        std::unique_ptr<std::uint16_t[]> made(new (std::nothrow) std::uint16_t[FlatSlots]);
        if (!made)
        {
            return {nullptr, nullptr};
        }
        const std::int32_t* const bases = bestFit ? page.wideRunBases : page.exactRunBases;
        auto* const lengths = reinterpret_cast<std::uint8_t*>(made.get() + FlatUnits);
        for (std::size_t unit = 0; unit < FlatUnits; ++unit)
        {
            const std::uint16_t code =
                WideCodes[bases[unit >> WideBlockShift] + static_cast<std::int32_t>(unit)];
            made[unit] = code;
            lengths[unit] = LengthOf(code);
        }
        if (slot.compare_exchange_strong(table, made.get(), std::memory_order_acq_rel,
                                         std::memory_order_acquire))
        {
            return Parts(made.release());
        }
        return Parts(table); // another thread published its table first
    }

private:
    std::unique_ptr<std::atomic<std::uint16_t*>[]> m_Tables;
};

} // namespace

FlatRun FlatRunCodes(const CodePageTable& page, bool bestFit)
{
    static FlatTables tables;
    return tables.Get(page, bestFit);
}

} // namespace Tolvane::Util::Os::Posix

#include "os/posix/FlatRunCodes.h"

#include "os/posix/LazyTables.h"

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
    if (table == nullptr)
    {
        return {nullptr, nullptr};
    }
    return {table, reinterpret_cast<const std::uint8_t*>(table + FlatUnits)};
}

} // namespace

FlatRun FlatRunCodes(const CodePageTable& page, bool bestFit)
{
    static LazyTables<std::uint16_t> tables(2 * CodePageTableCount, FlatSlots);
    const std::size_t slot =
        2 * static_cast<std::size_t>(&page - CodePageTables) + (bestFit ? 1 : 0);
    return Parts(tables.Get(slot, [&page, bestFit](std::uint16_t* made) {
        const std::int32_t* const bases = bestFit ? page.wideRunBases : page.exactRunBases;
        auto* const lengths = reinterpret_cast<std::uint8_t*>(made + FlatUnits);
        for (std::size_t unit = 0; unit < FlatUnits; ++unit)
        {
            const std::uint16_t code = RunCode(bases, static_cast<std::uint32_t>(unit));
            made[unit] = code;
            lengths[unit] = LengthOf(code);
        }
    }));
}

} // namespace Tolvane::Util::Os::Posix

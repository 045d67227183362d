#include "os/posix/FlatPairs.h"

#include "os/posix/LazyTables.h"

namespace Tolvane::Util::Os::Posix {

const std::uint16_t* FlatPairs(const CodePageTable& page)
{
    static LazyTables<std::uint16_t> tables(CodePageTableCount, 0x10000);
    return tables.Get(static_cast<std::size_t>(&page - CodePageTables),
                      [&page](std::uint16_t* made) {
                          for (unsigned lead = 0; lead < 0x100; ++lead)
                          {
                              const std::uint16_t* const row = NarrowPairs + page.leadRows[lead];
                              for (unsigned trail = 0; trail < 0x100; ++trail)
                              {
                                  const unsigned char two[2] = {static_cast<unsigned char>(lead),
                                                                static_cast<unsigned char>(trail)};
                                  made[FlatPairIndex(two)] = row[trail];
                              }
                          }
                      });
}

} // namespace Tolvane::Util::Os::Posix

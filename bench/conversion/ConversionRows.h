// Registration of one table row: the library and its peers on the same text, side by side.
#pragma once

#include "conversion/Subject.h"

#include <functional>
#include <string>
#include <vector>

namespace Tolvane::Bench {

template <typename Char>
struct Contender
{
    std::string Name;                                     // "tolvane", "iconv", ...: the column
    std::function<std::unique_ptr<Subject<Char>>()> Make; // null: no column
};

// Registers the benchmarks "<table>/<row>/<name>", the library's first. Each benchmark makes
// its subject before timing. With `characters` above zero the table shows the cost per
// character. With `check`, every contender converts once now, and one whose result differs from
// the first contender's is reported on stderr (code pages differ in small ways between
// implementations; the note says how much).
void RegisterRow(const std::string& table, const std::string& row,
                 const std::vector<Contender<char>>& contenders, double characters, bool check);
void RegisterRow(const std::string& table, const std::string& row,
                 const std::vector<Contender<wchar_t>>& contenders, double characters, bool check);

} // namespace Tolvane::Bench

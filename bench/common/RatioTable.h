// Collects timings of the library and its peers and prints them as tables of ratios.
#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace Tolvane::Bench {

// Rows of one or more tables; each row holds one timing per subject. The subject named
// `library` is the one measured; every other subject of the row is a peer, and its cell shows
// library time / peer time (above 1: the library is slower). Rows and subjects print in the
// order they were first added.
class RatioTable
{
public:
    explicit RatioTable(std::string library = "tolvane");

    // One timing: nanoseconds per call, and per processed character when `charactersPerCall`
    // is above zero (then the cells show the cost per character instead of per call).
    void Add(const std::string& table, const std::string& row, const std::string& subject,
             double nanosecondsPerCall, double charactersPerCall = 0);

    bool Empty() const { return m_Tables.empty(); }

    // Markdown tables, one per table name, each after a blank line.
    void Print(std::ostream& out) const;

private:
    struct Cell
    {
        double Nanoseconds;
        double Characters;
    };
    struct Row
    {
        std::string Name;
        std::map<std::string, Cell> Cells;
    };
    struct Table
    {
        std::string Name;
        std::vector<std::string> Subjects;
        std::vector<Row> Rows;
    };

    void PrintTable(std::ostream& out, const Table& table) const;

    std::string m_Library;
    std::vector<Table> m_Tables;
};

// "812 ns", "12.4 us", "3.10 ms": three significant digits in the largest fitting unit.
std::string FormatDuration(double nanoseconds);

} // namespace Tolvane::Bench

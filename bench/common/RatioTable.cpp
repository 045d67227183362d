// Ratio tables: library time over each peer's time, row by row.
#include "common/RatioTable.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace Tolvane::Bench {

namespace {

std::string FormatNumber(double value)
{
    char text[32];
    if (value >= 100)
    {
        std::snprintf(text, sizeof text, "%.0f", value);
    }
    else if (value >= 10)
    {
        std::snprintf(text, sizeof text, "%.1f", value);
    }
    else
    {
        std::snprintf(text, sizeof text, "%.2f", value);
    }
    return text;
}

std::string FormatCell(double nanoseconds, double characters)
{
    if (characters > 0)
    {
        return FormatNumber(nanoseconds / characters) + " ns/ch";
    }
    return FormatDuration(nanoseconds);
}

} // namespace

std::string FormatDuration(double nanoseconds)
{
    if (nanoseconds >= 1e6)
    {
        return FormatNumber(nanoseconds / 1e6) + " ms";
    }
    if (nanoseconds >= 1e3)
    {
        return FormatNumber(nanoseconds / 1e3) + " us";
    }
    return FormatNumber(nanoseconds) + " ns";
}

RatioTable::RatioTable(std::string library) : m_Library(std::move(library)) {}

void RatioTable::Add(const std::string& table, const std::string& row, const std::string& subject,
                     double nanosecondsPerCall, double charactersPerCall)
{
    auto tableIt = std::find_if(m_Tables.begin(), m_Tables.end(),
                                [&](const Table& candidate) { return candidate.Name == table; });
    if (tableIt == m_Tables.end())
    {
        m_Tables.push_back(Table{table, {m_Library}, {}});
        tableIt = m_Tables.end() - 1;
    }
    if (std::find(tableIt->Subjects.begin(), tableIt->Subjects.end(), subject) ==
        tableIt->Subjects.end())
    {
        tableIt->Subjects.push_back(subject);
    }
    auto rowIt = std::find_if(tableIt->Rows.begin(), tableIt->Rows.end(),
                              [&](const Row& candidate) { return candidate.Name == row; });
    if (rowIt == tableIt->Rows.end())
    {
        tableIt->Rows.push_back(Row{row, {}});
        rowIt = tableIt->Rows.end() - 1;
    }
    rowIt->Cells[subject] = Cell{nanosecondsPerCall, charactersPerCall};
}

void RatioTable::Print(std::ostream& out) const
{
    for (const Table& table : m_Tables)
    {
        PrintTable(out, table);
    }
}

void RatioTable::PrintTable(std::ostream& out, const Table& table) const
{
    std::vector<std::vector<std::string>> lines;
    lines.push_back({table.Name});
    for (const std::string& subject : table.Subjects)
    {
        lines.back().push_back(subject == m_Library ? subject : subject + " (ratio)");
    }
    for (const Row& row : table.Rows)
    {
        lines.push_back({row.Name});
        const auto library = row.Cells.find(m_Library);
        for (const std::string& subject : table.Subjects)
        {
            const auto cell = row.Cells.find(subject);
            if (cell == row.Cells.end())
            {
                lines.back().push_back("-");
                continue;
            }
            std::string text = FormatCell(cell->second.Nanoseconds, cell->second.Characters);
            if (subject != m_Library && library != row.Cells.end() && cell->second.Nanoseconds > 0)
            {
                text += " (" +
                        FormatNumber(library->second.Nanoseconds / cell->second.Nanoseconds) + "x)";
            }
            lines.back().push_back(text);
        }
    }

    std::vector<std::size_t> widths(table.Subjects.size() + 1, 3);
    for (const auto& line : lines)
    {
        for (std::size_t column = 0; column < line.size(); ++column)
        {
            widths[column] = std::max(widths[column], line[column].size());
        }
    }
    const auto printLine = [&](const std::vector<std::string>& line) {
        for (std::size_t column = 0; column < line.size(); ++column)
        {
            const bool left = column == 0;
            const std::string padding(widths[column] - line[column].size(), ' ');
            out << "| " << (left ? line[column] + padding : padding + line[column]) << ' ';
        }
        out << "|\n";
    };

    out << '\n';
    printLine(lines.front());
    for (std::size_t column = 0; column < widths.size(); ++column)
    {
        out << (column == 0 ? "|:" : "|") << std::string(widths[column] + 1, '-')
            << (column == 0 ? "" : ":");
    }
    out << "|\n";
    for (std::size_t index = 1; index < lines.size(); ++index)
    {
        printLine(lines[index]);
    }
}

} // namespace Tolvane::Bench

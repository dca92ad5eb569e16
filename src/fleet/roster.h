// A roster: a CSV file with a header and one row per pager of a fleet. The `unit` column names the
// pager (unique, and fit to be a file name); every other column is a field key as `set` takes it,
// and a cell holds that field's value for the unit, or nothing to keep the base file's value.
//
// Spreadsheets write CSV in several ways; all of these are taken: "," or ";" between the cells (as
// the header line shows), a UTF-8 byte order mark, CRLF or LF line ends, cells in double quotes
// (with "" for a quote, and separators and line breaks inside), blanks around the column names, and
// empty rows, which are skipped. Anything else that is no clean table is refused with
// the line and the column where it goes wrong, before a single pager is touched.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zr {

inline constexpr std::string_view kUnitColumn = "unit";

// One row of a CSV text: the line it begins on and its cells, numbered from 1 like the columns of
// a spreadsheet.
struct CsvRow {
    std::size_t line = 0;
    std::vector<std::string> cells;
};

// Where a roster (or a log) is not a clean table: line and column from 1; column 0 when the whole
// line, and line 0 when the whole file, is at fault.
struct TableError {
    std::size_t line = 0;
    std::size_t column = 0;
    std::string text;
};

std::variant<std::vector<CsvRow>, TableError> ParseCsv(std::string_view text, char separator = ',');
// The file's text; a TableError (line 0) when it cannot be read.
std::variant<std::string, TableError> ReadTextFile(const std::filesystem::path& path);
// One CSV line: cells quoted when they hold a separator, a quote or a line break.
std::string CsvLine(const std::vector<std::string>& cells);

struct RosterUnit {
    std::string name;
    std::size_t line = 0;
    std::vector<std::string> values;  // one per key of the roster, in column order; empty keeps the base
};

struct Roster {
    std::vector<std::string> keys;          // the field columns in column order
    std::vector<std::size_t> keyColumns;    // the spreadsheet column of each key
    std::vector<RosterUnit> units;          // in row order
};

std::variant<Roster, TableError> ParseRoster(std::string_view text);
std::variant<Roster, TableError> ReadRoster(const std::filesystem::path& path);

// "ROSTER.csv line 3, column 2: TEXT" (the place left out where the error has none).
std::string DescribeTableError(const std::filesystem::path& path, const TableError& error);

}  // namespace zr

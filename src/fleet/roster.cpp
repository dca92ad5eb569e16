#include "roster.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include "image_fields.h"
#include "keyed_edits.h"
#include "printable_text.h"
#include "unit_name.h"

namespace zr {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::string Lowercase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower;
}

// Reads the CSV text one character at a time, counting lines as it goes.
class CsvReader {
public:
    CsvReader(std::string_view text, char separator) : text_(text), separator_(separator) {}

    std::variant<std::vector<CsvRow>, TableError> Rows() {
        std::vector<CsvRow> rows;
        while (position_ < text_.size()) {
            CsvRow row{line_, {}};
            if (auto error = ReadRow(row)) return *error;
            rows.push_back(std::move(row));
        }
        return rows;
    }

private:
    bool AtLineEnd() const { return text_[position_] == '\n' || text_[position_] == '\r'; }
    // Steps over one line end: LF, CRLF or a lone CR.
    void SkipLineEnd() {
        if (text_[position_] == '\r' && position_ + 1 < text_.size() && text_[position_ + 1] == '\n') ++position_;
        ++position_;
        ++line_;
    }

    std::optional<TableError> ReadRow(CsvRow& row) {
        for (;;) {
            std::string cell;
            if (position_ < text_.size() && text_[position_] == '"') {
                if (auto error = ReadQuoted(cell, row.cells.size() + 1)) return error;
            } else {
                while (position_ < text_.size() && text_[position_] != separator_ && !AtLineEnd()) {
                    if (text_[position_] == '"')
                        return TableError{line_, row.cells.size() + 1,
                                          "a quote inside a cell that does not begin with one"};
                    cell += text_[position_++];
                }
            }
            row.cells.push_back(std::move(cell));
            if (position_ >= text_.size()) return std::nullopt;
            if (text_[position_] == separator_) {
                ++position_;
                continue;
            }
            SkipLineEnd();
            return std::nullopt;
        }
    }

    std::optional<TableError> ReadQuoted(std::string& cell, std::size_t column) {
        const std::size_t openedOn = line_;
        ++position_;
        for (;;) {
            if (position_ >= text_.size()) return TableError{openedOn, column, "a quoted cell is never closed"};
            const char c = text_[position_];
            if (c == '"') {
                if (position_ + 1 < text_.size() && text_[position_ + 1] == '"') {
                    cell += '"';
                    position_ += 2;
                    continue;
                }
                ++position_;
                if (position_ < text_.size() && text_[position_] != separator_ && !AtLineEnd())
                    return TableError{line_, column, "text after the closing quote of a cell"};
                return std::nullopt;
            }
            if (c == '\r' || c == '\n') {
                SkipLineEnd();
                cell += '\n';
                continue;
            }
            cell += c;
            ++position_;
        }
    }

    std::string_view text_;
    char separator_;
    std::size_t position_ = 0;
    std::size_t line_ = 1;
};

bool IsEmptyRow(const CsvRow& row) {
    return std::all_of(row.cells.begin(), row.cells.end(), [](const std::string& cell) { return cell.empty(); });
}

// Spreadsheets in many locales save CSV with ";" between the cells: the header line tells which
// separator the file uses (the keys hold neither).
char SeparatorOf(std::string_view text) {
    std::size_t commas = 0, semicolons = 0;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\n' || c == '\r') break;
        if (c == ',') ++commas;
        if (c == ';') ++semicolons;
    }
    return semicolons > commas ? ';' : ',';
}

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A key as a person may have typed it: case, blanks and the marks between its words left out.
std::string Squeezed(std::string_view key) {
    std::string squeezed;
    for (const char c : key)
        if (std::string_view(" \t_-.").find(c) == std::string_view::npos)
            squeezed += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return squeezed;
}

// The one column name that `header` differs from only in case, blanks, "_", "-" or ".".
std::optional<std::string> ColumnMeant(std::string_view header) {
    const std::string squeezed = Squeezed(header);
    std::optional<std::string> meant;
    const auto consider = [&](std::string_view name) {
        if (Squeezed(name) != squeezed || meant == name) return true;
        if (meant) return false;  // two names fit: none is meant for sure
        meant = std::string(name);
        return true;
    };
    if (!consider(kUnitColumn)) return std::nullopt;
    for (const auto& field : ImageFields())
        if (IsEditableKey(field.key) && !consider(field.key)) return std::nullopt;
    return meant;
}

std::string UnknownColumnReason(const std::string& name) {
    const std::string shown = EscapeControlBytes(name);
    if (const auto meant = ColumnMeant(name)) return "unknown key " + shown + "; did you mean " + *meant + "?";
    return NotEditableReason(shown);
}

std::variant<Roster, TableError> RosterOfRows(const std::vector<CsvRow>& rows) {
    if (rows.empty()) return TableError{0, 0, "the roster is empty; its first line names the columns"};
    const CsvRow& header = rows.front();
    Roster roster;
    std::optional<std::size_t> unitColumn;
    std::map<std::string, std::size_t> seen;
    for (std::size_t i = 0; i < header.cells.size(); ++i) {
        const std::string name(Trimmed(header.cells[i]));
        const std::size_t column = i + 1;
        if (name.empty()) return TableError{header.line, column, "the column has no name"};
        if (const auto earlier = seen.find(name); earlier != seen.end())
            return TableError{header.line, column,
                              "the column " + EscapeControlBytes(name) + " is already column " +
                                  std::to_string(earlier->second)};
        seen.emplace(name, column);
        if (name == kUnitColumn) {
            unitColumn = i;
        } else if (!IsEditableKey(name)) {
            return TableError{header.line, column, UnknownColumnReason(name)};
        } else {
            roster.keys.push_back(name);
            roster.keyColumns.push_back(column);
        }
    }
    if (!unitColumn) return TableError{header.line, 0, "no unit column: one column is headed \"unit\""};

    std::map<std::string, std::size_t> unitLines;  // by lowercase name: file names may ignore case
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const CsvRow& row = rows[r];
        if (IsEmptyRow(row)) continue;
        if (row.cells.size() != header.cells.size())
            return TableError{row.line, std::min(row.cells.size(), header.cells.size()) + 1,
                              "the row has " + std::to_string(row.cells.size()) + " cells, the header " +
                                  std::to_string(header.cells.size())};
        RosterUnit unit{row.cells[*unitColumn], row.line, {}};
        if (const auto fault = UnitNameFault(unit.name)) return TableError{row.line, *unitColumn + 1, *fault};
        const auto [earlier, added] = unitLines.emplace(Lowercase(unit.name), row.line);
        if (!added)
            return TableError{row.line, *unitColumn + 1,
                              "the unit " + unit.name + " is already on line " + std::to_string(earlier->second)};
        for (const std::size_t column : roster.keyColumns) unit.values.push_back(row.cells[column - 1]);
        roster.units.push_back(std::move(unit));
    }
    if (roster.units.empty()) return TableError{0, 0, "the roster lists no unit"};
    return roster;
}

}  // namespace

std::variant<std::vector<CsvRow>, TableError> ParseCsv(std::string_view text, char separator) {
    if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF"))
        return TableError{0, 0, "the file is UTF-16 text; save it as CSV in UTF-8"};
    if (text.starts_with(kUtf8Mark)) text.remove_prefix(kUtf8Mark.size());
    return CsvReader(text, separator).Rows();
}

std::variant<std::string, TableError> ReadTextFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return TableError{0, 0, "cannot be read"};
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return TableError{0, 0, "cannot be read"};
    return text.str();
}

std::string CsvLine(const std::vector<std::string>& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) line += ',';
        const std::string& cell = cells[i];
        if (cell.find_first_of(",\"\r\n") == std::string::npos) {
            line += cell;
            continue;
        }
        line += '"';
        for (const char c : cell) line += c == '"' ? std::string("\"\"") : std::string(1, c);
        line += '"';
    }
    return line;
}

std::variant<Roster, TableError> ParseRoster(std::string_view text) {
    auto rows = ParseCsv(text, SeparatorOf(text));
    if (const auto* error = std::get_if<TableError>(&rows)) return *error;
    return RosterOfRows(std::get<std::vector<CsvRow>>(rows));
}

std::variant<Roster, TableError> ReadRoster(const std::filesystem::path& path) {
    const auto text = ReadTextFile(path);
    if (const auto* error = std::get_if<TableError>(&text)) return *error;
    return ParseRoster(std::get<std::string>(text));
}

std::string DescribeTableError(const std::filesystem::path& path, const TableError& error) {
    std::string place = path.string();
    if (error.line > 0) place += " line " + std::to_string(error.line);
    if (error.column > 0) place += ", column " + std::to_string(error.column);
    return place + ": " + error.text;
}

}  // namespace zr

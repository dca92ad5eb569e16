#include "fleet_log_reader.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace zr::report {

std::variant<std::map<std::string, LoggedWrite>, TableError> ParseFleetLog(std::string_view text) {
    auto parsed = ParseCsv(text);
    if (const auto* error = std::get_if<TableError>(&parsed)) return *error;
    const auto& rows = std::get<std::vector<CsvRow>>(parsed);
    if (rows.empty()) return std::map<std::string, LoggedWrite>{};
    const auto& header = rows.front().cells;
    const auto column = [&](std::string_view name) -> std::optional<std::size_t> {
        const auto found = std::find(header.begin(), header.end(), name);
        if (found == header.end()) return std::nullopt;
        return static_cast<std::size_t>(found - header.begin());
    };
    const auto unit = column("unit"), outcome = column("outcome"), time = column("time");
    if (!unit || !outcome || !time)
        return TableError{rows.front().line, 0, "not a fleet log: its header has no unit, outcome and time columns"};
    std::map<std::string, LoggedWrite> last;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const auto& cells = rows[r].cells;
        const auto cell = [&](std::size_t c) { return c < cells.size() ? cells[c] : std::string(); };
        if (cell(*unit).empty()) continue;
        last[cell(*unit)] = {cell(*outcome), cell(*time)};
    }
    return last;
}

std::variant<std::map<std::string, LoggedWrite>, TableError> ReadFleetLog(const std::filesystem::path& path) {
    auto text = ReadTextFile(path);
    if (const auto* error = std::get_if<TableError>(&text)) return *error;
    return ParseFleetLog(std::get<std::string>(text));
}

}  // namespace zr::report

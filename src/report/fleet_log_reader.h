// What the fleet log says of each unit, read for the fleet sheet: the outcome of the unit's last
// Write and when it was. Columns are found by their header, so a log with more columns, or with
// them in another order, reads the same.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <variant>

#include "roster.h"

namespace zr::report {

struct LoggedWrite {
    std::string outcome;  // "written", "failed", "skipped"
    std::string time;
};

// The last line of every unit; a log without "unit", "outcome" and "time" columns is an error.
std::variant<std::map<std::string, LoggedWrite>, TableError> ParseFleetLog(std::string_view text);
std::variant<std::map<std::string, LoggedWrite>, TableError> ReadFleetLog(const std::filesystem::path& path);

}  // namespace zr::report

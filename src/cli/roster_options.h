// What every roster command takes: the base table file, the roster and the tone entry mode.
#pragma once

#include <CLI/CLI.hpp>

#include <string>
#include <variant>

#include "fleet_check.h"

namespace zr::cli {

struct RosterOptions {
    std::string base;
    std::string roster;
    bool userMode = false;
};

void AddRosterArguments(CLI::App& command, RosterOptions& options);

// The fleet as the roster describes it, or the exit status when it cannot be built at all; the
// base's load messages and any fault are printed.
std::variant<CheckedFleet, int> LoadFleet(const RosterOptions& options);

// roster sheet: the fleet sheet as a PDF.
void AddSheetCommand(CLI::App& roster, int& status);

}  // namespace zr::cli

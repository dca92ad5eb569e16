// zr250pro-cli roster: a fleet of pagers from one base table file and a roster, checked without a
// port, then written one pager after another.
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include "cli_common.h"
#include "fleet_check.h"
#include "roster.h"

namespace zr::cli {

namespace {

struct RosterOptions {
    std::string base;
    std::string roster;
    bool userMode = false;
};

ToneEntryMode ModeOf(const RosterOptions& options) {
    return options.userMode ? ToneEntryMode::User : ToneEntryMode::Standard;
}

// The fleet as the roster describes it, or the exit status when it cannot be built at all.
struct Fleet {
    std::vector<UnitImage> units;
    std::vector<PlanProblem> problems;
};

std::variant<Fleet, int> LoadFleet(const RosterOptions& options) {
    const auto roster = ReadRoster(options.roster);
    if (const auto* error = std::get_if<TableError>(&roster)) {
        PrintDiagnostic(DescribeTableError(options.roster, *error));
        return kExitUsage;
    }
    const auto base = OpenBaseTable(options.base);
    if (const auto* error = std::get_if<Message>(&base)) {
        PrintMessage(*error);
        PrintDiagnostic("cannot read " + options.base);
        return kExitFailure;
    }
    Fleet fleet;
    fleet.units = BuildUnitImages(std::get<PagerImage>(base), std::get<Roster>(roster), ModeOf(options));
    fleet.problems = CheckTonePlan(fleet.units);
    return fleet;
}

// Prints every refused cell and every tone plan problem; true when there is none.
bool ReportFleet(const Fleet& fleet) {
    std::size_t refused = 0;
    for (const auto& unit : fleet.units)
        for (const auto& cell : unit.refusals) {
            ++refused;
            std::cout << unit.name << ", " << cell.key << " \"" << cell.value << "\" (line " << cell.line
                      << ", column " << cell.column << "):" << std::endl;
            for (const auto& message : cell.messages) PrintMessage(message);
            if (!cell.complaint.empty()) std::cout << cell.complaint << std::endl;
        }
    for (const auto& problem : fleet.problems) std::cout << "tone plan: " << problem.text << std::endl;
    std::cout << fleet.units.size() << (fleet.units.size() == 1 ? " unit, " : " units, ");
    if (refused == 0 && fleet.problems.empty()) {
        std::cout << "no problems" << std::endl;
        return true;
    }
    std::cout << refused << (refused == 1 ? " refused value, " : " refused values, ") << fleet.problems.size()
              << (fleet.problems.size() == 1 ? " tone plan problem" : " tone plan problems") << std::endl;
    return false;
}

void AddRosterArguments(CLI::App& command, RosterOptions& options) {
    command.add_option("BASE", options.base, "Base table file, taken as Open takes it")->required();
    command.add_option("ROSTER", options.roster, "Roster: CSV with a unit column and set's keys as columns")
        ->required();
    command.add_flag("--user-mode", options.userMode, "Take tones in User Mode instead of Standard Mode");
}

void AddCheckCommand(CLI::App& roster, int& status) {
    auto options = std::make_shared<RosterOptions>();
    auto* command = roster.add_subcommand(
        "check", "Build every unit's image and check the fleet's tone plan, without a port (exit 0 clean, 1 "
                 "problems, 2 a malformed roster)");
    AddRosterArguments(*command, *options);
    command->callback([&status, options] {
        const auto fleet = LoadFleet(*options);
        if (const auto* exit = std::get_if<int>(&fleet)) {
            status = *exit;
            return;
        }
        status = ReportFleet(std::get<Fleet>(fleet)) ? kExitSuccess : kExitFailure;
    });
}

}  // namespace

void AddRosterCommands(CLI::App& app, int& status) {
    auto* roster = app.add_subcommand("roster", "Program a fleet: one base table file, one roster row per pager");
    roster->require_subcommand(1);
    AddCheckCommand(*roster, status);
}

}  // namespace zr::cli

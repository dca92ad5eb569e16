// The Windows command line is built without Qt: the card and the fleet sheet say so.
#include <CLI/CLI.hpp>

#include "cli_common.h"
#include "roster_options.h"

namespace zr::cli {

namespace {

void AddUnavailable(CLI::App& parent, const std::string& name, const std::string& what, int& status) {
    auto* command = parent.add_subcommand(name, what + " (not available in this build)");
    command->allow_extras();
    command->callback([&status, name] {
        PrintDiagnostic(name + " is not available in this build: it needs Qt, which the Windows command line is "
                               "built without");
        status = kExitFailure;
    });
}

}  // namespace

void AddCardCommand(CLI::App& app, int& status) { AddUnavailable(app, "card", "Print a pager card", status); }
void AddSheetCommand(CLI::App& roster, int& status) { AddUnavailable(roster, "sheet", "Print a fleet sheet", status); }

}  // namespace zr::cli

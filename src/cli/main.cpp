// zr250pro-cli: the programming software's operations and rules from a terminal.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <exception>
#include <iostream>
#include <numeric>
#include <vector>

#include "cli_common.h"

namespace {

// How many letters must be added, removed or changed to turn `a` into `b`.
std::size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// A first argument that names no command: says so, with the nearest command when one is close.
bool RejectUnknownCommand(const CLI::App& app, int argc, char** argv) {
    if (argc < 2 || argv[1][0] == '-') return false;
    const std::string word = argv[1];
    std::string nearest;
    std::size_t distance = 3;  // farther than two letters is no likely slip
    for (const auto* command : app.get_subcommands({})) {
        if (command->get_name() == word) return false;
        const std::size_t d = EditDistance(word, command->get_name());
        if (d < distance) {
            distance = d;
            nearest = command->get_name();
        }
    }
    zr::cli::PrintDiagnostic("unknown command '" + word + "'; " +
                             (nearest.empty() ? "see 'zr250pro-cli --help'" : "did you mean '" + nearest + "'?"));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"ZR250Pro programming software from the command line: table files, pager Read, Write and Verify, "
                 "and field edits with the pager's rules. A file name of - reads standard input or writes standard "
                 "output.",
                 "zr250pro-cli"};
    app.require_subcommand(1);
    app.set_help_all_flag("--help-all", "Print the help of every command");
    app.set_version_flag("--version", std::string("zr250pro-cli ") + ZR250PRO_VERSION);
    int status = zr::cli::kExitSuccess;
    zr::cli::AddOfflineCommands(app, status);
    zr::cli::AddDeviceCommands(app, status);
    zr::cli::AddSetCommand(app, status);
    zr::cli::AddRosterCommands(app, status);
    zr::cli::AddTestPageCommands(app, status);
    zr::cli::AddCardCommand(app, status);
    zr::cli::AddPortCheckCommands(app, status);
    if (RejectUnknownCommand(app, argc, argv)) return zr::cli::kExitUsage;
    zr::cli::TakeOverStandardOutput();
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& done) {  // --help, --help-all, --version
        app.exit(done);
    } catch (const CLI::ParseError& error) {
        app.exit(error);
        return zr::cli::kExitUsage;
    } catch (const std::exception& error) {
        zr::cli::PrintDiagnostic(error.what());
        status = zr::cli::kExitFailure;
    }
    if (const auto failure = zr::cli::StandardOutputFailure()) {
        zr::cli::PrintDiagnostic("cannot write standard output: " + *failure);
        return zr::cli::kExitFailure;
    }
    return status;
}

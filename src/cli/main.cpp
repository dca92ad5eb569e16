// zr250pro-cli: the programming software's operations and rules from a terminal.
#include <CLI/CLI.hpp>

#include <exception>
#include <iostream>

#include "cli_common.h"

int main(int argc, char** argv) {
    CLI::App app{"ZR250Pro programming software from the command line: table files, pager Read, Write and Verify, "
                 "and field edits with the pager's rules.",
                 "zr250pro-cli"};
    app.require_subcommand(1);
    app.set_help_all_flag("--help-all", "Print the help of every command");
    int status = zr::cli::kExitSuccess;
    zr::cli::AddOfflineCommands(app, status);
    zr::cli::AddDeviceCommands(app, status);
    zr::cli::AddSetCommand(app, status);
    zr::cli::AddRosterCommands(app, status);
    zr::cli::AddPortCheckCommands(app, status);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::CallForAllHelp& help) {
        return app.exit(help);
    } catch (const CLI::ParseError& error) {
        app.exit(error);
        return zr::cli::kExitUsage;
    } catch (const std::exception& error) {
        zr::cli::PrintDiagnostic(error.what());
        return zr::cli::kExitFailure;
    }
    return status;
}

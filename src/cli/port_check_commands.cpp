// Commands that look for the programming board and say what stands in the way: scan.
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include "cli_common.h"
#include "device_operations.h"
#include "terminal_view.h"

namespace zr::cli {

namespace {

void AddScanCommand(CLI::App& app, int& status) {
    auto* command = app.add_subcommand(
        "scan", std::string("The window's start-up check: every listed port at once (") + kPortListVariable +
                    " replaces the list); prints the first whose board answers");
    auto traceFile = std::make_shared<std::string>();
    AddTraceOption(*command, *traceFile);
    command->callback([&status, traceFile] {
        const auto port = CommandPort(*traceFile);
        if (!port) {
            status = kExitFailure;
            return;
        }
        TerminalView view;
        const PortNameTable ports = EnumerateSerialPorts();
        const auto found = StartupBoardCheck(*port, ports, view);
        port->Close();
        if (!found) {
            status = kExitFailure;
            return;
        }
        std::cout << "board found on " << ports[*found] << " (item " << *found << " of the port list)" << std::endl;
        status = kExitSuccess;
    });
}

}  // namespace

void AddPortCheckCommands(CLI::App& app, int& status) { AddScanCommand(app, status); }

}  // namespace zr::cli

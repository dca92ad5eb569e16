// Commands that talk to a pager through the programming board: ports, probe, read, write, verify.
// They run the very operations of the window's Pager menu; status texts go to standard error and
// every message box to standard output, unless `-o -` puts the table there.
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include "cli_common.h"
#include "device_operations.h"
#include "device_texts.h"
#include "terminal_view.h"

namespace zr::cli {

namespace {

// One port named on the command line, as the only item of the port list.
struct PortChoice {
    std::string port;
    std::string file;
    std::string sent;  // write: where the image as sent is saved
    std::string trace;
};

CLI::App* AddPortCommand(CLI::App& app, const char* name, const char* description,
                         const std::shared_ptr<PortChoice>& choice) {
    auto* command = app.add_subcommand(name, description);
    command->add_option("-p,--port", choice->port, "A port name from `ports` (ttyUSB0) or a path (./sim-port)")
        ->required();
    AddTraceOption(*command, choice->trace);
    return command;
}

// Runs a Read, Write or Verify on the one port over the session's image.
bool RunOnPort(const PortChoice& choice, EditorSession& session, bool (*operation)(const DeviceContext&)) {
    const auto port = CommandPort(choice.trace);
    if (!port) return false;
    TerminalView view(session);
    const PortNameTable ports{choice.port};
    return operation({*port, ports, 0, session.image, session.state.settings.squelchLevels, view});
}

void AddPortsCommand(CLI::App& app, int& status) {
    auto* command = app.add_subcommand(
        "ports", std::string("List the serial ports the window offers, in its order (") + kPortListVariable +
                     " replaces the list)");
    command->callback([&status] {
        for (const auto& name : EnumerateSerialPorts()) std::cout << name << "\n";
        status = kExitSuccess;
    });
}

void AddProbeCommand(CLI::App& app, int& status) {
    auto choice = std::make_shared<PortChoice>();
    auto* command = AddPortCommand(app, "probe", "Test for the programming board on a port and ask its version",
                                   choice);
    command->callback([&status, choice] {
        const auto port = CommandPort(choice->trace);
        if (!port) {
            status = kExitFailure;
            return;
        }
        TerminalView view;
        PagerImage image = StartupImage();
        const PortNameTable ports{choice->port};
        const SquelchLevelTable levels = BuiltInSquelchLevelTable();
        const PortProbe probe = ProbeSelectedPort({*port, ports, 0, image, levels, view});
        if (!probe) {
            port->Close();
            PrintMessage(NoBoardMessage());
            view.ExplainPortFailures(probe.unopened);
            status = kExitFailure;
            return;
        }
        const std::string version = QueryInterfaceVersion(*port, ports, 0, view);
        std::cout << "board found on " << choice->port << ", interface version "
                  << (version.empty() ? "unknown (no answer)" : version) << std::endl;
        status = kExitSuccess;
    });
}

void AddReadCommand(CLI::App& app, int& status) {
    auto choice = std::make_shared<PortChoice>();
    auto* command = AddPortCommand(
        app, "read", "Read the pager's image and save it as a table file, as the window holds it after Read", choice);
    command->add_option("-o,--output", choice->file, "Table file to write (- for standard output)")->required();
    command->callback([&status, choice] {
        ReserveStandardOutputFor(choice->file);
        EditorSession session = StartupEditorSession();
        const bool read = RunOnPort(*choice, session, ReadPager);
        status = read && WriteImageFile(choice->file, session.image) ? kExitSuccess : kExitFailure;
    });
}

void AddWriteCommand(CLI::App& app, int& status) {
    auto choice = std::make_shared<PortChoice>();
    auto* command = AddPortCommand(
        app, "write", "Write a table file into the pager as the window's Open then Write does (loaded, sealed, read back)",
        choice);
    command->add_option("FILE", choice->file, "Table file (- for standard input)")->required();
    command->add_option("-o,--output", choice->sent,
                        "After a successful Write, save the image exactly as sent (with the pager's version; - for "
                        "standard output)");
    auto changedOnly = std::make_shared<bool>(false);
    command->add_flag("--changed-only", *changedOnly,
                      "Read the pager first and send only the 8-byte pieces it does not hold yet (all of them "
                      "when it cannot be read); the same seal and read-back");
    command->callback([&status, choice, changedOnly] {
        ReserveStandardOutputFor(choice->sent);
        auto session = OpenAsWindow(choice->file);
        if (!session || !RunOnPort(*choice, *session, *changedOnly ? WriteChangedPieces : WritePager)) {
            status = kExitFailure;
            return;
        }
        status = choice->sent.empty() || WriteImageFile(choice->sent, session->image) ? kExitSuccess : kExitFailure;
    });
}

void AddVerifyCommand(CLI::App& app, int& status) {
    auto choice = std::make_shared<PortChoice>();
    auto* command = AddPortCommand(
        app, "verify", "Compare the pager's memory with a table file as the window's Open then Verify does", choice);
    command->add_option("FILE", choice->file, "Table file (- for standard input)")->required();
    command->callback([&status, choice] {
        auto session = OpenAsWindow(choice->file);
        status = session && RunOnPort(*choice, *session, VerifyPager) ? kExitSuccess : kExitFailure;
    });
}

}  // namespace

void AddDeviceCommands(CLI::App& app, int& status) {
    AddPortsCommand(app, status);
    AddProbeCommand(app, status);
    AddReadCommand(app, status);
    AddWriteCommand(app, status);
    AddVerifyCommand(app, status);
}

}  // namespace zr::cli

// Commands that talk to a pager through the programming board: ports, probe, read, write, verify.
// They run the very operations of the window's Pager menu; status texts go to standard error and
// every message box to standard output.
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include "cli_common.h"
#include "device_operations.h"
#include "device_texts.h"

namespace zr::cli {

namespace {

// The window's effects, as a terminal shows them.
class TerminalView final : public DeviceOperationView {
public:
    void SetStatusText(std::string_view text) override {
        if (text != status_) std::cerr << text << std::endl;
        status_ = std::string(text);
    }
    void ClearFileNamePanel() override {}
    void SetProgressRange(int) override {}
    void SetProgressPosition(int position) override { position_ = position; }
    int ProgressPosition() const override { return position_; }
    MessageAnswer ShowMessage(const Message& message) override {
        PrintMessage(message);
        return MessageAnswer::Ok;
    }
    void SetWindowEnabled(bool) override {}
    void SetDeviceMenuEnabled(bool, bool, bool) override {}
    bool IsModifyMode() const override { return false; }
    void ShowFirmwareVersion(std::string_view text) override {
        PrintDiagnostic("pager firmware version " + std::string(text));
    }
    void ImageReplaced() override {}
    void ProcessEvents() override {}
    void ReportPiecesSent(int pieces) override {
        PrintDiagnostic(std::to_string(pieces) + " of " + std::to_string(kWritePieceCount) + " pieces sent");
    }
    void ShowDiagnostic(std::string_view text) override { PrintDiagnostic(text); }

private:
    std::string status_;
    int position_ = 0;
};

// One port named on the command line, as the only item of the port list.
struct PortChoice {
    std::string port;
    std::string file;
};

CLI::App* AddPortCommand(CLI::App& app, const char* name, const char* description,
                         const std::shared_ptr<PortChoice>& choice) {
    auto* command = app.add_subcommand(name, description);
    command->add_option("-p,--port", choice->port, "A port name from `ports` (ttyUSB0) or a path (./sim-port)")
        ->required();
    return command;
}

// Runs a Read, Write or Verify on the one port over `image`.
bool RunOnPort(const PortChoice& choice, PagerImage& image, bool (*operation)(const DeviceContext&)) {
    TCommPort port;
    TerminalView view;
    const PortNameTable ports{choice.port};
    const SquelchLevelTable levels = BuiltInSquelchLevelTable();
    return operation({port, ports, 0, image, levels, view});
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
        TCommPort port;
        TerminalView view;
        PagerImage image = StartupImage();
        const PortNameTable ports{choice->port};
        const SquelchLevelTable levels = BuiltInSquelchLevelTable();
        if (!ProbeSelectedPort({port, ports, 0, image, levels, view})) {
            port.Close();
            PrintMessage(NoBoardMessage());
            status = kExitFailure;
            return;
        }
        const std::string version = QueryInterfaceVersion(port, ports, 0, view);
        std::cout << "board found on " << choice->port << ", interface version "
                  << (version.empty() ? "unknown (no answer)" : version) << std::endl;
        status = kExitSuccess;
    });
}

void AddReadCommand(CLI::App& app, int& status) {
    auto choice = std::make_shared<PortChoice>();
    auto* command = AddPortCommand(app, "read", "Read the pager's image and save it as a table file", choice);
    command->add_option("-o,--output", choice->file, "Table file to write")->required();
    command->callback([&status, choice] {
        PagerImage image = StartupImage();
        const bool read = RunOnPort(*choice, image, ReadPager);
        status = read && WriteImageFile(choice->file, image) ? kExitSuccess : kExitFailure;
    });
}

void AddWriteCommand(CLI::App& app, int& status) {
    auto choice = std::make_shared<PortChoice>();
    auto* command = AddPortCommand(
        app, "write", "Write a table file into the pager (taken as Open takes it, sealed, then read back)", choice);
    command->add_option("FILE", choice->file, "Table file")->required();
    auto changedOnly = std::make_shared<bool>(false);
    command->add_flag("--changed-only", *changedOnly,
                      "Read the pager first and send only the 8-byte pieces it does not hold yet (all of them "
                      "when it cannot be read); the same seal and read-back");
    command->callback([&status, choice, changedOnly] {
        auto image = ReadImageAsOpened(choice->file);
        const auto write = *changedOnly ? WriteChangedPieces : WritePager;
        status = image && RunOnPort(*choice, *image, write) ? kExitSuccess : kExitFailure;
    });
}

void AddVerifyCommand(CLI::App& app, int& status) {
    auto choice = std::make_shared<PortChoice>();
    auto* command = AddPortCommand(
        app, "verify", "Compare the pager's memory with a table file's 256 bytes exactly as stored", choice);
    command->add_option("FILE", choice->file, "Table file")->required();
    command->callback([&status, choice] {
        auto image = ReadImageAsStored(choice->file);
        status = image && RunOnPort(*choice, *image, VerifyPager) ? kExitSuccess : kExitFailure;
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

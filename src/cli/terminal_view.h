// The window's effects as a terminal shows them (status texts on standard error, every message box
// as PrintMessage prints it), and the port a command talks through.
#pragma once

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>

#include "cli_common.h"
#include "device_operations.h"
#include "device_view.h"
#include "editor_load.h"
#include "link_trace.h"

namespace zr::cli {

// A Read loads the image it brings into the editor session, as the window does.
class TerminalView final : public DeviceOperationView {
public:
    TerminalView() = default;
    explicit TerminalView(EditorSession& session) : session_(&session) {}

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
    void ImageReplaced() override {
        if (session_ != nullptr) PrintMessages(session_->Load());
    }
    void ExplainPortFailures(const std::vector<PortFailure>& failures) override {
        for (const auto& failure : failures) PrintDiagnostic(failure.Text());
    }
    void ProcessEvents() override {}
    void ReportPiecesSent(int pieces) override {
        PrintDiagnostic(std::to_string(pieces) + " of " + std::to_string(kWritePieceCount) + " pieces sent");
    }
    void ShowDiagnostic(std::string_view text) override { PrintDiagnostic(text); }

private:
    EditorSession* session_ = nullptr;
    std::string status_;
    int position_ = 0;
};

// `--trace FILE`: every event on the line, for the technician to send.
inline void AddTraceOption(CLI::App& command, std::string& traceFile) {
    command.add_option("--trace", traceFile,
                       "Write every event on the line to FILE: time, port, direction, bytes in hex");
}

// The command's serial port, tracing to the file when one is named; null, after saying why, when the
// trace file cannot be written.
inline std::unique_ptr<CommPort> CommandPort(const std::string& traceFile) {
    auto port = MakeProgramPort(traceFile);
    if (!port) PrintDiagnostic("cannot write the trace to " + traceFile + ": " + TraceFileFailure(traceFile));
    return port;
}

}  // namespace zr::cli

// The window's effects as a terminal shows them: status texts on standard error, every message box
// on standard output.
#pragma once

#include <iostream>
#include <string>

#include "cli_common.h"
#include "device_view.h"

namespace zr::cli {

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
    void ExplainPortFailures(const std::vector<PortFailure>& failures) override {
        for (const auto& failure : failures) PrintDiagnostic(failure.Text());
    }
    void ProcessEvents() override {}

private:
    std::string status_;
    int position_ = 0;
};

}  // namespace zr::cli

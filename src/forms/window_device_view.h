// What Read, Write, Verify and the board probes show in the main window: the status text, the
// progress bar, message boxes, the window taken from the user while the line is busy, and the
// Pager menu items.
#pragma once

#include "device_view.h"

class MainWindow;

namespace zr::gui {

class WindowDeviceView final : public DeviceOperationView {
public:
    explicit WindowDeviceView(MainWindow& window) : window_(window) {}

    void SetStatusText(std::string_view text) override;
    void ClearFileNamePanel() override;
    void SetProgressRange(int maximum) override;
    void SetProgressPosition(int position) override;
    int ProgressPosition() const override;
    MessageAnswer ShowMessage(const Message& message) override;
    void SetWindowEnabled(bool enabled) override;
    void SetDeviceMenuEnabled(bool read, bool write, bool verify) override;
    bool IsModifyMode() const override;
    void ShowFirmwareVersion(std::string_view text) override;
    void ImageReplaced() override;
    void ExplainPortFailures(const std::vector<PortFailure>& failures) override;
    void ProcessEvents() override;

private:
    MainWindow& window_;
};

}  // namespace zr::gui

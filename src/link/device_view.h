// What a device operation (Read, Write, Verify, the board probes) shows while it runs. The link never
// owns the user interface: the window, the command line and the tests each implement this view.
#pragma once

#include <string_view>
#include <vector>

#include "message.h"
#include "port_failure.h"

namespace zr {

class DeviceOperationView {
public:
    virtual ~DeviceOperationView() = default;

    // The status text panel ("  Reading Now ......", " Ready", ...).
    virtual void SetStatusText(std::string_view text) = 0;
    // The third status panel, which Write clears.
    virtual void ClearFileNamePanel() = 0;
    // The progress bar PB1: range 0..maximum, and its position.
    virtual void SetProgressRange(int maximum) = 0;
    virtual void SetProgressPosition(int position) = 0;
    virtual int ProgressPosition() const = 0;
    // A modal message box; returns the button the user chose.
    virtual MessageAnswer ShowMessage(const Message& message) = 0;
    // The whole main window is disabled while a transfer runs.
    virtual void SetWindowEnabled(bool enabled) = 0;
    // The Pager menu items Read, Write and Verify.
    virtual void SetDeviceMenuEnabled(bool read, bool write, bool verify) = 0;
    // Modify Mode keeps Write disabled after Read and Verify.
    virtual bool IsModifyMode() const = 0;
    // The firmware version read from the pager ("%0.2f"); the version field becomes visible.
    virtual void ShowFirmwareVersion(std::string_view text) = 0;
    // A Read replaced the current image: reload the editor from it.
    virtual void ImageReplaced() = 0;
    // Why ports could not be opened and what to do, told after the operation's own message.
    virtual void ExplainPortFailures(const std::vector<PortFailure>& failures) = 0;
    // Handle pending window events, so the window keeps painting while a transfer waits.
    virtual void ProcessEvents() = 0;

    // How many of the image's 8-byte pieces a Write sent to the pager (a refused piece counts as
    // sent), told once the pieces are done, one was refused, or the line broke (then the pieces
    // acknowledged before). The main window shows nothing.
    virtual void ReportPiecesSent(int /*pieces*/) {}
    // A note for the technician that is no message box (the command line's standard error); the
    // main window shows nothing.
    virtual void ShowDiagnostic(std::string_view /*text*/) {}
};

// A look at the line the technician need not follow: shows nothing, answers every box OK. A caller
// keeps what it wants to know (the firmware version, the events to handle) by overriding it.
class QuietView : public DeviceOperationView {
public:
    void SetStatusText(std::string_view) override {}
    void ClearFileNamePanel() override {}
    void SetProgressRange(int) override {}
    void SetProgressPosition(int) override {}
    int ProgressPosition() const override { return 0; }
    MessageAnswer ShowMessage(const Message&) override { return MessageAnswer::Ok; }
    void SetWindowEnabled(bool) override {}
    void SetDeviceMenuEnabled(bool, bool, bool) override {}
    bool IsModifyMode() const override { return false; }
    void ShowFirmwareVersion(std::string_view) override {}
    void ImageReplaced() override {}
    void ExplainPortFailures(const std::vector<PortFailure>&) override {}
    void ProcessEvents() override {}
};

}  // namespace zr

// A DeviceOperationView that remembers what a window would have shown.
#pragma once

#include <string>
#include <vector>

#include "device_view.h"

namespace zr::testing {

struct MenuState {
    bool read = true;
    bool write = true;
    bool verify = true;
    bool operator==(const MenuState&) const = default;
};

class RecordingView : public DeviceOperationView {
public:
    void SetStatusText(std::string_view text) override { statuses.emplace_back(text); }
    void ClearFileNamePanel() override { ++fileNameClears; }
    void SetProgressRange(int maximum) override { progressMaximum = maximum; }
    void SetProgressPosition(int position) override {
        progress = position;
        progressHistory.push_back(position);
    }
    int ProgressPosition() const override { return progress; }
    MessageAnswer ShowMessage(const Message& message) override {
        messages.push_back(message);
        return MessageAnswer::Ok;
    }
    void SetWindowEnabled(bool enabled) override {
        windowEnabled = enabled;
        if (!enabled) ++windowDisables;
    }
    void SetDeviceMenuEnabled(bool read, bool write, bool verify) override {
        menu = {read, write, verify};
        ++menuChanges;
    }
    bool IsModifyMode() const override { return modifyMode; }
    void ShowFirmwareVersion(std::string_view text) override { firmwareVersion = text; }
    void ImageReplaced() override { ++imageReplacements; }
    void ExplainPortFailures(const std::vector<PortFailure>& failures) override {
        portFailures.insert(portFailures.end(), failures.begin(), failures.end());
    }
    void ProcessEvents() override { ++eventPumps; }
    void ReportPiecesSent(int pieces) override { piecesSent.push_back(pieces); }
    void ShowDiagnostic(std::string_view text) override { diagnostics.emplace_back(text); }

    std::string Status() const { return statuses.empty() ? std::string() : statuses.back(); }

    bool modifyMode = true;
    std::vector<std::string> statuses;
    std::vector<Message> messages;
    std::vector<int> progressHistory;
    int fileNameClears = 0;
    int progressMaximum = -1;
    int progress = 0;
    bool windowEnabled = true;
    int windowDisables = 0;
    MenuState menu;
    int menuChanges = 0;
    std::string firmwareVersion;
    int imageReplacements = 0;
    long eventPumps = 0;
    std::vector<int> piecesSent;
    std::vector<std::string> diagnostics;
    std::vector<PortFailure> portFailures;
};

}  // namespace zr::testing

// What every command of zr250pro-cli shares: exit statuses, how a message box is printed, and how
// a table file is taken in.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "device_view.h"
#include "image_fields.h"
#include "message.h"
#include "pager_image.h"

namespace CLI {
class App;
}

namespace zr::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // a refused edit or a failed operation
inline constexpr int kExitUsage = 2;

// A message box as text on standard output: its caption, a colon, its text.
void PrintMessage(const Message& message);
// A diagnostic for the person at the terminal, on standard error.
void PrintDiagnostic(std::string_view text);

// The file's bytes over the image a freshly started program holds, exactly as stored: no repair.
// Prints "Open Error!" and gives nothing when the file cannot be read.
std::optional<PagerImage> ReadImageAsStored(const std::filesystem::path& path);
// The file as Open takes it: over the start-up image, then the squelch repair.
std::optional<PagerImage> ReadImageAsOpened(const std::filesystem::path& path);
// Writes a table file with Save As's safety; prints "Save Error!" on failure.
bool WriteImageFile(const std::filesystem::path& path, const PagerImage& image);

// A device operation's effects, as a terminal shows them: status texts on standard error, message
// boxes on standard output, every box answered OK.
class TerminalView final : public DeviceOperationView {
public:
    void SetStatusText(std::string_view text) override;
    void ClearFileNamePanel() override {}
    void SetProgressRange(int) override {}
    void SetProgressPosition(int position) override { position_ = position; }
    int ProgressPosition() const override { return position_; }
    MessageAnswer ShowMessage(const Message& message) override;
    void SetWindowEnabled(bool) override {}
    void SetDeviceMenuEnabled(bool, bool, bool) override {}
    bool IsModifyMode() const override { return false; }
    void ShowFirmwareVersion(std::string_view text) override;
    void ImageReplaced() override {}
    void ProcessEvents() override {}

private:
    std::string status_;
    int position_ = 0;
};

std::string JsonString(std::string_view text);
std::string JsonValue(const FieldValue& value);

// Each adds its commands; the command's callback stores its exit status in `status`.
void AddOfflineCommands(CLI::App& app, int& status);
void AddDeviceCommands(CLI::App& app, int& status);
void AddSetCommand(CLI::App& app, int& status);
void AddRosterCommands(CLI::App& app, int& status);

}  // namespace zr::cli

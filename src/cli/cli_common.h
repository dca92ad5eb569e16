// What every command of zr250pro-cli shares: exit statuses, how a message box is printed, and how
// a table file is taken in.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "editor_load.h"
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
// The editor as the window holds it after File > Open of the file: the file over the start-up image,
// the squelch repair, then the load, whose messages are printed in order (to standard error with
// `messagesToStderr`). Prints "Open Error!" and gives nothing when the file cannot be read.
std::optional<EditorSession> OpenAsWindow(const std::filesystem::path& path, bool messagesToStderr = false);
// Prints the messages an answer showed, in order.
void PrintMessages(const EditorAnswer& answer, bool toStderr = false);
// Writes a table file with Save As's safety; prints "Save Error!" on failure.
bool WriteImageFile(const std::filesystem::path& path, const PagerImage& image);

std::string JsonString(std::string_view text);
std::string JsonValue(const FieldValue& value);

// Each adds its commands; the command's callback stores its exit status in `status`.
void AddOfflineCommands(CLI::App& app, int& status);
void AddDeviceCommands(CLI::App& app, int& status);
void AddSetCommand(CLI::App& app, int& status);

}  // namespace zr::cli

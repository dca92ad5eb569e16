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
inline constexpr int kExitTrouble = 2;  // diff: a file that cannot be read, as diff and cmp say it

// "-" as a file name: standard input to read, standard output to write. "/dev/stdout" is written
// as standard output too, never replaced by a file.
inline constexpr std::string_view kStandardStream = "-";
bool IsStandardOutput(const std::filesystem::path& path);

// A message box as text on standard output: its caption, a colon, its text. A command whose
// standard output carries data (a table file, JSON) sends its boxes to standard error instead.
void PrintMessage(const Message& message);
void SendMessagesToStandardError();
// When `output` is standard output, it carries the table alone and the boxes go to standard error.
void ReserveStandardOutputFor(const std::filesystem::path& output);
// A diagnostic for the person at the terminal, on standard error.
void PrintDiagnostic(std::string_view text);

// The file's bytes ("-": standard input) over the image a freshly started program holds, exactly as
// stored: no repair. Prints "Open Error!" and gives nothing when the file cannot be read.
std::optional<PagerImage> ReadImageAsStored(const std::filesystem::path& path);
// The editor as the window holds it after File > Open of the file ("-": standard input): the bytes
// over the start-up image, the squelch repair, then the load, whose messages are printed in order
// like every box. Prints "Open Error!" and gives nothing when the file cannot be read.
std::optional<EditorSession> OpenAsWindow(const std::filesystem::path& path);
// Prints the messages an answer showed, in order.
void PrintMessages(const EditorAnswer& answer);
// Writes a table file with Save As's safety, or to standard output; prints "Save Error!" and the
// system's reason on failure.
bool WriteImageFile(const std::filesystem::path& path, const PagerImage& image);

// Standard output as the commands use it: a failed write (a full disk, a closed pipe) is remembered
// and told at the end, so that it makes the exit status 1.
void TakeOverStandardOutput();
// The system's reason when writing standard output failed.
std::optional<std::string> StandardOutputFailure();

std::string JsonString(std::string_view text);
// A field's value with the JSON type the field always has: numbers as numbers, texts (an empty one
// when the bytes select no list item) and switches as true or false.
std::string JsonValue(const ImageField& field, const FieldValue& value);

// Each adds its commands; the command's callback stores its exit status in `status`.
void AddOfflineCommands(CLI::App& app, int& status);
void AddDeviceCommands(CLI::App& app, int& status);
void AddSetCommand(CLI::App& app, int& status);
void AddRosterCommands(CLI::App& app, int& status);
void AddCardCommand(CLI::App& app, int& status);
void AddPortCheckCommands(CLI::App& app, int& status);
// roster verify and roster read, under the roster command.
void AddFleetReadCommands(CLI::App& roster, int& status);

// Ctrl+C and SIGTERM ask a fleet run to stop between pagers; a prompt waiting for an answer is
// interrupted at once.
void CatchStopSignals();
bool StopAsked();

// page, roster page (after the roster commands) and listen.
void AddTestPageCommands(CLI::App& app, int& status);

}  // namespace zr::cli

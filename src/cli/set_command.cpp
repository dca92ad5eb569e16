// zr250pro-cli set: edits a table file field by field, each entry taken exactly as the window's
// field takes it, with the same refusals and the same bytes that follow from it.
#include <CLI/CLI.hpp>

#include <memory>
#include <string>
#include <vector>

#include "cli_common.h"
#include "keyed_edits.h"
#include "table_files.h"

namespace zr::cli {

namespace {

struct SetOptions {
    std::string file;
    std::string output;
    bool userMode = false;
    std::vector<std::string> edits;
};

int RunSet(const SetOptions& options) {
    // Standard input has no file to save back to: the edited table goes to standard output.
    const std::string output =
        options.file == kStandardStream && options.output.empty() ? std::string(kStandardStream) : options.output;
    ReserveStandardOutputFor(output);
    auto opened = OpenAsWindow(options.file);
    if (!opened) return kExitFailure;
    KeyedEditSession session =
        StartKeyedEdits(*opened, options.userMode ? ToneEntryMode::User : ToneEntryMode::Standard);
    for (const auto& edit : options.edits) {
        const auto equals = edit.find('=');
        if (equals == std::string::npos) {
            PrintDiagnostic("\"" + edit + "\" is not KEY=VALUE");
            return kExitUsage;
        }
        const std::string key = edit.substr(0, equals);
        const KeyedEditResult result = ApplyKeyedEdit(session, key, edit.substr(equals + 1));
        if (const auto* bad = std::get_if<BadValue>(&result)) {
            PrintDiagnostic(bad->text);
            return kExitUsage;
        }
        const auto& answer = std::get<EditorAnswer>(result);
        if (answer.outcome == EditOutcome::Refused) {
            PrintMessages(answer);
            PrintDiagnostic(edit + " refused; nothing written");
            return kExitFailure;
        }
    }
    if (!output.empty()) return WriteImageFile(output, session.image) ? kExitSuccess : kExitFailure;
    if (const auto failure = SaveTableFile(options.file, session.image)) {
        PrintMessage(failure->message);
        PrintDiagnostic("cannot write " + options.file + ": " + failure->reason);
        return kExitFailure;
    }
    return kExitSuccess;
}

}  // namespace

void AddSetCommand(CLI::App& app, int& status) {
    auto* command = app.add_subcommand(
        "set", "Edit fields of a table file as the window takes them: KEY=VALUE with the keys of show");
    auto options = std::make_shared<SetOptions>();
    command->add_option("FILE", options->file, "Table file (- for standard input)")->required();
    command->add_option("EDITS", options->edits, "KEY=VALUE, applied in order")->required();
    command->add_option("-o,--output", options->output,
                        "Table file to write (- for standard output); without it FILE is saved, its old content "
                        "kept as the .BAK backup");
    command->add_flag("--user-mode", options->userMode, "Take tones in User Mode instead of Standard Mode");
    command->callback([&status, options] { status = RunSet(*options); });
}

}  // namespace zr::cli

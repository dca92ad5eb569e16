// Commands that work on table files alone: default, show, diff, seal.
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <sstream>

#include "cli_common.h"
#include "squelch_levels.h"

namespace zr::cli {

namespace {

std::string ShowAsJson(const PagerImage& image) {
    std::ostringstream out;
    out << "{";
    const char* separator = "";
    for (const auto& field : ImageFields()) {
        out << separator << "\n  " << JsonString(field.key) << ": " << JsonValue(field, DecodeField(image, field));
        separator = ",";
    }
    out << "\n}\n";
    return out.str();
}

// A list whose byte selects no item shows an empty box in the window, and so an empty value here;
// as stored, the byte itself, so that the reader sees what it holds ("103 (no list item)").
std::string ShownText(const PagerImage& image, const ImageField& field, bool stored) {
    const FieldValue value = DecodeField(image, field);
    if (!std::holds_alternative<std::monostate>(value) || TypeOfField(field) != FieldType::Text)
        return FieldValueText(value);
    const bool listByte = field.list != FieldList::None && field.width == 1;
    if (stored && listByte) return std::to_string(image[field.offset]) + " (no list item)";
    return {};
}

std::string ShowAsText(const PagerImage& image, bool stored) {
    std::ostringstream out;
    for (const auto& field : ImageFields()) out << field.key << ": " << ShownText(image, field, stored) << "\n";
    return out.str();
}

std::string OffsetKey(std::size_t offset) { return "offset_" + std::to_string(offset); }

std::string DiffAsJson(const ImageDifferences& differences) {
    std::ostringstream out;
    out << "{";
    const char* separator = "";
    for (const auto& difference : differences.fields) {
        const ImageField& field = *FindImageField(difference.key);
        out << separator << "\n  " << JsonString(field.key) << ": [" << JsonValue(field, difference.first) << ", "
            << JsonValue(field, difference.second) << "]";
        separator = ",";
    }
    for (const auto& byte : differences.bytes) {
        out << separator << "\n  " << JsonString(OffsetKey(byte.offset)) << ": [" << int{byte.first} << ", "
            << int{byte.second} << "]";
        separator = ",";
    }
    out << (differences.empty() ? "}\n" : "\n}\n");
    return out.str();
}

std::string DiffAsText(const ImageDifferences& differences) {
    std::ostringstream out;
    for (const auto& field : differences.fields)
        out << field.key << ": " << FieldValueText(field.first) << " -> " << FieldValueText(field.second) << "\n";
    for (const auto& byte : differences.bytes)
        out << OffsetKey(byte.offset) << ": " << int{byte.first} << " -> " << int{byte.second} << "\n";
    return out.str();
}

void AddDefaultCommand(CLI::App& app, int& status) {
    auto* command = app.add_subcommand(
        "default", "Write the image the window holds after start-up: the built-in image, loaded into the editor");
    auto output = std::make_shared<std::string>();
    command->add_option("-o,--output", *output, "Table file to write (- for standard output)")->required();
    command->callback([&status, output] {
        ReserveStandardOutputFor(*output);
        status = WriteImageFile(*output, StartupEditorSession().image) ? kExitSuccess : kExitFailure;
    });
}

void AddShowCommand(CLI::App& app, int& status) {
    auto* command =
        app.add_subcommand("show", "Show every field of a table file as the window shows it after File > Open of it");
    struct Options {
        std::string file;
        bool json = false;
        bool stored = false;
    };
    auto options = std::make_shared<Options>();
    command->add_option("FILE", options->file, "Table file (- for standard input)")->required();
    command->add_flag("--json", options->json,
                      "One JSON object keyed by field (message boxes, the load's among them, then go to standard "
                      "error)");
    command->add_flag("--stored", options->stored, "The bytes exactly as stored, without the load of Open");
    command->callback([&status, options] {
        if (options->json) SendMessagesToStandardError();
        std::optional<PagerImage> image;
        if (options->stored) {
            image = ReadImageAsStored(options->file);
        } else if (const auto opened = OpenAsWindow(options->file)) {
            image = opened->image;
        }
        if (!image) {
            status = kExitFailure;
            return;
        }
        std::cout << (options->json ? ShowAsJson(*image) : ShowAsText(*image, options->stored));
        status = kExitSuccess;
    });
}

void AddDiffCommand(CLI::App& app, int& status) {
    auto* command = app.add_subcommand(
        "diff", "Show the fields in which two table files differ; exit 0 when equal, 1 when they differ, 2 when a "
                "file cannot be read");
    struct Options {
        std::string first;
        std::string second;
        bool json = false;
    };
    auto options = std::make_shared<Options>();
    command->add_option("A", options->first, "First table file (- for standard input)")->required();
    command->add_option("B", options->second, "Second table file")->required();
    command->add_flag("--json", options->json, "One JSON object: key -> [value in A, value in B]");
    command->callback([&status, options] {
        if (options->json) SendMessagesToStandardError();
        const auto a = ReadImageAsStored(options->first);
        const auto b = ReadImageAsStored(options->second);
        if (!a || !b) {
            status = kExitTrouble;
            return;
        }
        const auto differences = CompareImages(*a, *b);
        std::cout << (options->json ? DiffAsJson(differences) : DiffAsText(differences));
        status = differences.empty() ? kExitSuccess : kExitFailure;
    });
}

void AddSealCommand(CLI::App& app, int& status) {
    auto* command = app.add_subcommand(
        "seal", "Prepare a table file as the window's Open then Write sends it: load, squelch repair, forced bytes, "
                "tag and checksum");
    struct Options {
        std::string file;
        std::string output;
    };
    auto options = std::make_shared<Options>();
    command->add_option("FILE", options->file, "Table file (- for standard input)")->required();
    command->add_option("-o,--output", options->output, "Table file to write (- for standard output)")->required();
    command->callback([&status, options] {
        ReserveStandardOutputFor(options->output);
        auto opened = OpenAsWindow(options->file);
        if (!opened) {
            status = kExitFailure;
            return;
        }
        PrepareImageForWrite(opened->image, opened->state.settings.squelchLevels);
        status = WriteImageFile(options->output, opened->image) ? kExitSuccess : kExitFailure;
    });
}

}  // namespace

void AddOfflineCommands(CLI::App& app, int& status) {
    AddDefaultCommand(app, status);
    AddShowCommand(app, status);
    AddDiffCommand(app, status);
    AddSealCommand(app, status);
}

}  // namespace zr::cli

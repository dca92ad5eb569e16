// Commands that work on table files alone: default, show, diff, seal.
#include <CLI/CLI.hpp>

#include <iostream>
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
        out << separator << "\n  " << JsonString(field.key) << ": " << JsonValue(DecodeField(image, field));
        separator = ",";
    }
    out << "\n}\n";
    return out.str();
}

std::string ShowAsText(const PagerImage& image) {
    std::ostringstream out;
    for (const auto& field : ImageFields()) out << field.key << ": " << FieldValueText(DecodeField(image, field)) << "\n";
    return out.str();
}

std::string OffsetKey(std::size_t offset) { return "offset_" + std::to_string(offset); }

std::string DiffAsJson(const ImageDifferences& differences) {
    std::ostringstream out;
    out << "{";
    const char* separator = "";
    for (const auto& field : differences.fields) {
        out << separator << "\n  " << JsonString(field.key) << ": [" << JsonValue(field.first) << ", "
            << JsonValue(field.second) << "]";
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
    auto* command = app.add_subcommand("default", "Write the built-in default image, as the program starts with it");
    static std::string output;
    command->add_option("-o,--output", output, "Table file to write")->required();
    command->callback([&status] { status = WriteImageFile(output, StartupImage()) ? kExitSuccess : kExitFailure; });
}

void AddShowCommand(CLI::App& app, int& status) {
    auto* command = app.add_subcommand("show", "Show every field of a table file as the window shows it");
    static std::string file;
    static bool json = false;
    command->add_option("FILE", file, "Table file")->required();
    command->add_flag("--json", json, "One JSON object keyed by field");
    command->callback([&status] {
        const auto image = ReadImageAsStored(file);
        if (!image) {
            status = kExitFailure;
            return;
        }
        std::cout << (json ? ShowAsJson(*image) : ShowAsText(*image));
        status = kExitSuccess;
    });
}

void AddDiffCommand(CLI::App& app, int& status) {
    auto* command = app.add_subcommand(
        "diff", "Show the fields in which two table files differ; exit 0 when equal, 1 when they differ");
    static std::string first;
    static std::string second;
    static bool json = false;
    command->add_option("A", first, "First table file")->required();
    command->add_option("B", second, "Second table file")->required();
    command->add_flag("--json", json, "One JSON object: key -> [value in A, value in B]");
    command->callback([&status] {
        const auto a = ReadImageAsStored(first);
        const auto b = ReadImageAsStored(second);
        if (!a || !b) {
            status = kExitFailure;
            return;
        }
        const auto differences = CompareImages(*a, *b);
        std::cout << (json ? DiffAsJson(differences) : DiffAsText(differences));
        status = differences.empty() ? kExitSuccess : kExitFailure;
    });
}

void AddSealCommand(CLI::App& app, int& status) {
    auto* command = app.add_subcommand(
        "seal", "Prepare a table file as a Write sends it: squelch repair, forced bytes, tag and checksum");
    static std::string file;
    static std::string output;
    command->add_option("FILE", file, "Table file")->required();
    command->add_option("-o,--output", output, "Table file to write")->required();
    command->callback([&status] {
        auto image = ReadImageAsOpened(file);
        if (!image) {
            status = kExitFailure;
            return;
        }
        RepairSquelchThresholds(*image, BuiltInSquelchLevelTable());
        SealImageForWrite(*image);
        status = WriteImageFile(output, *image) ? kExitSuccess : kExitFailure;
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

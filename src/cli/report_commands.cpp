// zr250pro-cli card and roster sheet: the pager card and the fleet sheet, painted with Qt.
#include <CLI/CLI.hpp>

#include <QGuiApplication>

#include <cstdlib>
#include <memory>

#include "cli_common.h"
#include "fleet_log_reader.h"
#include "fleet_sheet.h"
#include "pager_card.h"
#include "roster_options.h"

namespace zr::cli {

namespace {

// Painting text needs a Qt application; without a display the command still runs, off screen.
std::unique_ptr<QGuiApplication> StartPainting() {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "zr250pro-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

void AddPaperOption(CLI::App& command, std::string& paper) {
    command.add_option("--page-size", paper, "A4 or Letter (default: by the locale)")
        ->check([](const std::string& name) {
            return report::PaperSizeNamed(name) ? std::string() : std::string("A4 or Letter");
        });
}

report::PaperSize PaperOf(const std::string& name) {
    return name.empty() ? report::LocalePaperSize() : *report::PaperSizeNamed(name);
}

int Written(const std::string& output, const std::optional<std::string>& failure) {
    if (!failure) return kExitSuccess;
    PrintDiagnostic("cannot write " + output + ": " + *failure);
    return kExitFailure;
}

}  // namespace

void AddCardCommand(CLI::App& app, int& status) {
    struct Options {
        std::string file;
        std::string output;
        std::string paper;
    };
    auto options = std::make_shared<Options>();
    auto* command = app.add_subcommand(
        "card", "Print a pager card of a table file: one page of every field as the window shows it after File > "
                "Open, for the equipment records");
    command->add_option("FILE", options->file, "Table file")->required();
    command->add_option("-o,--output", options->output, "Card to write: a PDF, or a PNG image when it ends in .png")
        ->required();
    AddPaperOption(*command, options->paper);
    command->callback([&status, options] {
        const auto opened = OpenAsWindow(options->file);
        if (!opened) {
            status = kExitFailure;
            return;
        }
        const auto painting = StartPainting();
        const auto source = report::CardSourceOf(opened->image, options->file);
        status = Written(options->output, report::WriteCard(options->output, source, PaperOf(options->paper)));
    });
}

void AddSheetCommand(CLI::App& roster, int& status) {
    struct Options {
        RosterOptions roster;
        std::string output;
        std::string log;
        std::string paper;
    };
    auto options = std::make_shared<Options>();
    auto* command = roster.add_subcommand(
        "sheet", "Print a fleet sheet: a row per unit, the tone plan chart and the tone plan's problems, as a PDF");
    AddRosterArguments(*command, options->roster);
    command->add_option("-o,--output", options->output, "PDF to write")->required();
    command->add_option("--log", options->log, "Fleet log of roster write: each unit's outcome and date");
    AddPaperOption(*command, options->paper);
    command->callback([&status, options] {
        std::optional<std::map<std::string, report::LoggedWrite>> log;
        if (!options->log.empty()) {
            auto read = report::ReadFleetLog(options->log);
            if (const auto* error = std::get_if<TableError>(&read)) {
                PrintDiagnostic(DescribeTableError(options->log, *error));
                status = kExitUsage;
                return;
            }
            log = std::move(std::get<0>(read));
        }
        auto fleet = LoadFleet(options->roster);
        if (const auto* exit = std::get_if<int>(&fleet)) {
            status = *exit;
            return;
        }
        const auto painting = StartPainting();
        const auto title = QStringLiteral("%1 on %2").arg(
            QString::fromStdString(std::filesystem::path(options->roster.roster).filename().string()),
            QString::fromStdString(std::filesystem::path(options->roster.base).filename().string()));
        const report::FleetSheet sheet(title, std::move(std::get<CheckedFleet>(fleet)), std::move(log),
                                       PaperOf(options->paper));
        status = Written(options->output, sheet.WritePdf(options->output));
    });
}

}  // namespace zr::cli

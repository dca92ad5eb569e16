// zr250pro-cli roster verify and roster read: the pagers of a fleet read one after another, each
// told against the roster's plan, or kept as table files with a roster that programs them again.
#include <CLI/CLI.hpp>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <iostream>
#include <memory>

#include "cli_common.h"
#include "fleet_check.h"
#include "fleet_load.h"
#include "fleet_reader.h"
#include "terminal_view.h"

namespace zr::cli {

namespace {

// The round as a terminal shows it: each Read's status on standard error, each pager's line on
// standard output; the technician seats each pager and presses Enter, or with --wait the next one is
// noticed by itself.
class TerminalRound final : public FleetReadFrontEnd {
public:
    DeviceOperationView& DeviceView() override { return view_; }

    bool AskToSeat(std::size_t number) override {
        std::cerr << "Seat pager " << number << " and press Enter; q Enter stops: " << std::flush;
        for (;;) {
            std::string line;
            char c = 0;
            int got = 0;
            while ((got = static_cast<int>(::read(0, &c, 1))) == 1 && c != '\n') line += c;
            if (got != 1 || StopAsked()) {
                std::cerr << std::endl;
                return false;
            }
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty()) return true;
            if (line == "q") return false;
            std::cerr << "Enter reads the pager, q Enter stops: " << std::flush;
        }
    }
    void ShowWaiting(std::size_t number, std::string_view why) override {
        if (why == lastWhy_) return;
        lastWhy_ = std::string(why);
        std::cerr << "Waiting for pager " << number << ": " << why << std::endl;
    }
    void ShowPagerDone(const PagerOutcome& outcome) override {
        lastWhy_.clear();
        std::cout << outcome.line << std::endl;
    }
    void ShowProblem(const std::string& text) override { PrintDiagnostic(text); }
    bool StopRequested() override { return StopAsked(); }

private:
    // A Read's status on standard error; its message box goes into the pager's line alone.
    class ReadView final : public QuietView {
    public:
        void SetStatusText(std::string_view text) override { status_.SetStatusText(text); }

    private:
        TerminalView status_;
    };

    ReadView view_;
    std::string lastWhy_;
};

struct RoundArguments {
    std::string port;
    bool wait = false;
    bool userMode = false;
    std::string trace;

    PagerRoundOptions Round() const { return {port, wait}; }
};

void AddRoundArguments(CLI::App& command, RoundArguments& options) {
    command.add_option("-p,--port", options.port, "A port name from `ports` (ttyUSB0) or a path")->required();
    command.add_flag("--wait", options.wait,
                     "Do not ask: wait until a pager that was not read last is behind the board");
    command.add_flag("--user-mode", options.userMode, "Take the roster's tones in User Mode instead of Standard Mode");
    AddTraceOption(command, options.trace);
}

// The roster's units built over the base, or the exit status when they cannot be used: a roster or
// base that cannot be used, or a unit whose image cannot be built, is a usage error here.
std::variant<std::vector<UnitImage>, int> PlannedUnits(const std::string& base, const std::string& roster,
                                                       bool userMode) {
    auto fleet = LoadFleet(base, roster, userMode ? ToneEntryMode::User : ToneEntryMode::Standard);
    if (std::holds_alternative<int>(fleet)) return kExitUsage;
    auto& checked = std::get<CheckedFleet>(fleet);
    if (checked.HasRefusedCells()) {
        PrintDiagnostic(roster + ": a unit's image cannot be built as the roster says (see `roster check`)");
        return kExitUsage;
    }
    return std::move(checked.units);
}

struct VerifyOptions {
    RoundArguments read;
    std::string base;
    std::string roster;
    std::string log;
};

int RunVerify(const VerifyOptions& options) {
    const auto planned = PlannedUnits(options.base, options.roster, options.read.userMode);
    if (const auto* exit = std::get_if<int>(&planned)) return *exit;
    const auto port = CommandPort(options.read.trace);
    if (!port) return kExitUsage;
    CatchStopSignals();
    TerminalRound round;
    const FleetVerifySummary summary = VerifyFleet(std::get<std::vector<UnitImage>>(planned), options.read.Round(),
                                                   options.log, *port, round);
    if (summary.setupError) {
        PrintDiagnostic(*summary.setupError);
        return kExitUsage;
    }
    std::cout << SummaryText(summary) << std::endl;
    return summary.AllAsPlanned() ? kExitSuccess : kExitFailure;
}

void AddVerifyCommand(CLI::App& roster, int& status) {
    auto options = std::make_shared<VerifyOptions>();
    auto* command = roster.add_subcommand(
        "verify", "Read the fleet's pagers one after another and tell which unit of the roster each is: as planned, "
                  "the nearest unit and the fields that differ, or not in this roster (exit 0 when every pager read "
                  "is as planned, 1 otherwise, 2 for a roster or base that cannot be used)");
    command->add_option("BASE", options->base, "Base table file, taken as Open takes it")->required();
    command->add_option("ROSTER", options->roster, "Roster: CSV with a unit column and set's keys as columns")
        ->required();
    AddRoundArguments(*command, options->read);
    command->add_option("--log", options->log, "CSV log, appended a line per pager");
    command->callback([&status, options] { status = RunVerify(*options); });
}

struct ReadOptions {
    RoundArguments read;
    std::string out;
    std::string base;
    std::string plan;
    std::string roster;
    std::size_t count = 0;
};

int RunRead(const ReadOptions& options) {
    FleetReadOptions read;
    read.round = options.read.Round();
    read.out = options.out;
    read.roster = options.roster;
    read.count = options.count;
    if (!options.base.empty()) {
        auto opened = OpenBaseTable(options.base);
        if (const auto* error = std::get_if<Message>(&opened)) {
            PrintMessage(*error);
            PrintDiagnostic("cannot read " + options.base);
            return kExitUsage;
        }
        read.base = std::get<OpenedBase>(opened).session;
    }
    if (!options.plan.empty()) {
        if (options.base.empty()) {
            PrintDiagnostic("--plan names the pagers after its units: it needs --base");
            return kExitUsage;
        }
        auto planned = PlannedUnits(options.base, options.plan, options.read.userMode);
        if (const auto* exit = std::get_if<int>(&planned)) return *exit;
        read.plan = std::move(std::get<std::vector<UnitImage>>(planned));
    }
    const auto port = CommandPort(options.read.trace);
    if (!port) return kExitUsage;
    CatchStopSignals();
    TerminalRound round;
    const FleetReadSummary summary = ReadFleet(read, *port, round);
    if (summary.setupError) {
        PrintDiagnostic(*summary.setupError);
        return kExitUsage;
    }
    std::cout << SummaryText(summary, options.out) << std::endl;
    return summary.AllKept() ? kExitSuccess : kExitFailure;
}

void AddReadCommand(CLI::App& roster, int& status) {
    auto options = std::make_shared<ReadOptions>();
    auto* command = roster.add_subcommand(
        "read", "Read the fleet's pagers one after another into table files, never over a file, and make a roster "
                "that programs fresh pagers with the same images (exit 0 when every pager was kept, 1 otherwise)");
    AddRoundArguments(*command, options->read);
    command->add_option("--out", options->out, "Folder for the table files: UNIT.tbl, or pager-001.tbl, ...")
        ->required();
    command->add_option("--base", options->base,
                        "Base table file: the roster's columns are the fields some pager holds otherwise (all "
                        "fields without it, over the table `default` writes)");
    command->add_option("--plan", options->plan, "A roster over --base whose unit names the pagers that match it");
    command->add_option("--roster", options->roster, "Write the roster of the pagers read to this CSV file");
    command->add_option("--count", options->count, "Stop after this many pagers");
    command->callback([&status, options] { status = RunRead(*options); });
}

}  // namespace

void AddFleetReadCommands(CLI::App& roster, int& status) {
    AddVerifyCommand(roster, status);
    AddReadCommand(roster, status);
}

}  // namespace zr::cli

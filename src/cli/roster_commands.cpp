// zr250pro-cli roster: a fleet of pagers from one base table file and a roster, checked without a
// port, then written one pager after another.
#include <CLI/CLI.hpp>

#include <csignal>
#ifdef _WIN32
#include <io.h>
#else
#include <signal.h>
#include <unistd.h>
#endif

#include <map>
#include <iostream>
#include <memory>

#include "cli_common.h"
#include "fleet_check.h"
#include "fleet_load.h"
#include "fleet_writer.h"
#include "roster.h"
#include "roster_options.h"
#include "terminal_view.h"

namespace zr::cli {

std::variant<CheckedFleet, int> LoadFleet(const std::string& base, const std::string& roster, ToneEntryMode mode) {
    auto fleet = CheckFleet(base, roster, mode);
    if (const auto* error = std::get_if<TableError>(&fleet)) {
        PrintDiagnostic(DescribeTableError(roster, *error));
        return kExitUsage;
    }
    if (const auto* error = std::get_if<Message>(&fleet)) {
        PrintMessage(*error);
        PrintDiagnostic("cannot read " + base);
        return kExitFailure;
    }
    // The load's messages, as Open shows them, ahead of the report.
    PrintMessages(std::get<CheckedFleet>(fleet).baseLoad);
    return std::move(std::get<CheckedFleet>(fleet));
}

namespace {

ToneEntryMode ModeOf(const RosterOptions& options) {
    return options.userMode ? ToneEntryMode::User : ToneEntryMode::Standard;
}

}  // namespace

std::variant<CheckedFleet, int> LoadFleet(const RosterOptions& options) {
    return LoadFleet(options.base, options.roster, ModeOf(options));
}

namespace {

// Prints every refused cell and every tone plan problem; true when there is none.
bool ReportFleet(const CheckedFleet& fleet) {
    std::size_t refused = 0;
    for (const auto& unit : fleet.units)
        for (const auto& cell : unit.refusals) {
            ++refused;
            std::cout << unit.name << ", " << cell.key << " \"" << cell.value << "\" (line " << cell.line
                      << ", column " << cell.column << "):" << std::endl;
            for (const auto& message : cell.messages) PrintMessage(message);
            if (!cell.complaint.empty()) std::cout << cell.complaint << std::endl;
        }
    for (const auto& problem : fleet.problems) std::cout << "tone plan: " << problem.text << std::endl;
    std::cout << fleet.units.size() << (fleet.units.size() == 1 ? " unit, " : " units, ");
    if (refused == 0 && fleet.problems.empty()) {
        std::cout << "no problems" << std::endl;
        return true;
    }
    std::cout << refused << (refused == 1 ? " refused value, " : " refused values, ") << fleet.problems.size()
              << (fleet.problems.size() == 1 ? " tone plan problem" : " tone plan problems") << std::endl;
    return false;
}

}  // namespace

void AddRosterArguments(CLI::App& command, RosterOptions& options) {
    command.add_option("BASE", options.base, "Base table file, taken as Open takes it")->required();
    command.add_option("ROSTER", options.roster, "Roster: CSV with a unit column and set's keys as columns")
        ->required();
    command.add_flag("--user-mode", options.userMode, "Take tones in User Mode instead of Standard Mode");
}

namespace {

void AddCheckCommand(CLI::App& roster, int& status) {
    auto options = std::make_shared<RosterOptions>();
    auto* command = roster.add_subcommand(
        "check", "Build every unit's image and check the fleet's tone plan, without a port (exit 0 clean, 1 "
                 "problems, 2 a malformed roster)");
    AddRosterArguments(*command, *options);
    command->callback([&status, options] {
        const auto fleet = LoadFleet(*options);
        if (const auto* exit = std::get_if<int>(&fleet)) {
            status = *exit;
            return;
        }
        status = ReportFleet(std::get<CheckedFleet>(fleet)) ? kExitSuccess : kExitFailure;
    });
}

}  // namespace

volatile std::sig_atomic_t stopAsked = 0;

extern "C" void AskToStop(int) {
    if (!stopAsked) {
        constexpr char note[] = "\nzr250pro-cli: stopping (a Write or Read under way is finished first)\n";
#ifdef _WIN32
        [[maybe_unused]] const auto written = _write(2, note, sizeof note - 1);
#else
        [[maybe_unused]] const auto written = ::write(2, note, sizeof note - 1);
#endif
    }
    stopAsked = 1;
#ifdef _WIN32
    std::signal(SIGINT, AskToStop);  // Windows resets the handler to the default after each signal
#endif
}

// Ctrl+C and SIGTERM ask the run to stop between units; a prompt waiting for an answer is
// interrupted at once.
void CatchStopSignals() {
#ifdef _WIN32
    std::signal(SIGINT, AskToStop);
    std::signal(SIGTERM, AskToStop);
#else
    struct sigaction action {};
    action.sa_handler = AskToStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no restart: a read waiting for the technician returns
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
#endif
}

bool StopAsked() { return stopAsked != 0; }

namespace {

enum class FailurePolicy { Ask, Skip, Stop };

// The technician at the terminal: prompts and notes on standard error, message boxes on standard
// output, answers on standard input (Enter goes on, s Enter skips, q Enter or the end of the input
// stops).
class TerminalFleet final : public FleetFrontEnd {
public:
    explicit TerminalFleet(FailurePolicy policy) : policy_(policy) {}

    DeviceOperationView& DeviceView() override { return view_; }
    UnitStep AskToConnect(const UnitImage& unit, std::size_t number, std::size_t count) override {
        std::cerr << "Connect the pager of unit " << unit.name << " (" << number << " of " << count
                  << ") and press Enter; s Enter skips it, q Enter stops: " << std::flush;
        return ReadAnswer();
    }
    UnitStep AskToWriteOver(const UnitImage& unit, const LoggedWrite& held) override {
        std::cerr << "The pager behind the board holds unit " << held.unit << "'s image, written " << held.time
                  << ": w Enter writes unit " << unit.name << " into it, s Enter skips it, q Enter stops: "
                  << std::flush;
        return ReadAnswer("w");
    }
    void ShowWaiting(const UnitImage& unit, std::string_view why) override {
        if (why == lastWhy_) return;
        lastWhy_ = std::string(why);
        std::cerr << "Waiting for the pager of unit " << unit.name << ": " << why << std::endl;
    }
    UnitStep AskAfterFailure(const UnitImage& unit, const std::string&) override {
        if (policy_ == FailurePolicy::Skip) return UnitStep::Skip;
        if (policy_ == FailurePolicy::Stop) return UnitStep::Stop;
        std::cerr << "Unit " << unit.name << " failed: Enter tries again, s Enter skips it, q Enter stops: "
                  << std::flush;
        return ReadAnswer();
    }
    void ShowUnitDone(const UnitImage& unit, UnitOutcome outcome, const std::vector<std::string>& logLine) override {
        lastWhy_.clear();
        // The log's own word where it has one: "no pager answered" says more than "failed".
        std::cerr << "Unit " << unit.name << ": " << (logLine.size() > 4 ? logLine[4] : OutcomeText(outcome))
                  << (outcome == UnitOutcome::AlreadyWritten ? ", as the log records" : "") << std::endl;
    }
    void ShowProblem(const std::string& text) override { PrintDiagnostic(text); }
    bool StopRequested() override { return stopAsked != 0; }

private:
    // `goOn` is the answer that goes on: Enter, or a word where going on must be said explicitly.
    UnitStep ReadAnswer(std::string_view goOn = "") {
        for (;;) {
            std::string line;
            char c = 0;
            ssize_t got = 0;
            while ((got = ::read(0, &c, 1)) == 1 && c != '\n') line += c;
            if (got != 1 || stopAsked) {
                std::cerr << std::endl;
                return UnitStep::Stop;
            }
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line == goOn) return UnitStep::Go;
            if (line == "s") return UnitStep::Skip;
            if (line == "q") return UnitStep::Stop;
            std::cerr << (goOn.empty() ? std::string("Enter") : std::string(goOn) + " Enter")
                      << " goes on, s Enter skips, q Enter stops: " << std::flush;
        }
    }

    TerminalView view_;
    FailurePolicy policy_;
    std::string lastWhy_;
};

struct WriteOptions {
    RosterOptions roster;
    FleetWriteOptions fleet;
    std::string out;
    std::string trace;
    FailurePolicy onFailure = FailurePolicy::Ask;
    bool acceptTonePlan = false;
};

int RunRosterWrite(WriteOptions& options) {
    const auto loaded = LoadFleet(options.roster);
    if (const auto* exit = std::get_if<int>(&loaded)) return *exit;
    const CheckedFleet& fleet = std::get<CheckedFleet>(loaded);
    if (!fleet.ReadyToWrite(options.acceptTonePlan)) {
        const bool refused = fleet.HasRefusedCells();
        ReportFleet(fleet);
        PrintDiagnostic(refused ? "a unit's image cannot be built as the roster says; no pager was written"
                                : "the tone plan has problems (--accept-tone-plan writes all the same); no pager "
                                  "was written");
        return kExitFailure;
    }
    if (!options.out.empty()) options.fleet.outDirectory = options.out;
    const auto port = CommandPort(options.trace);
    if (!port) return kExitFailure;
    CatchStopSignals();
    TerminalFleet frontEnd(options.onFailure);
    const FleetWriteSummary summary = WriteFleet(fleet.units, options.fleet, *port, frontEnd);
    if (summary.logError) {
        PrintDiagnostic(DescribeTableError(options.fleet.log, *summary.logError));
        return kExitUsage;
    }
    if (summary.outError) {
        PrintDiagnostic(SummaryText(summary, fleet.units.size()));
        return kExitUsage;
    }
    std::cout << SummaryText(summary, fleet.units.size()) << std::endl;
    return summary.AllWritten(fleet.units.size()) && summary.notKept == 0 ? kExitSuccess : kExitFailure;
}

void AddWriteCommand(CLI::App& roster, int& status) {
    auto options = std::make_shared<WriteOptions>();
    auto* command = roster.add_subcommand(
        "write", "Write every unit's image into its pager, one after another, with the Write of the Pager menu, "
                 "and log each (a rerun with the same log skips the units already written)");
    AddRosterArguments(*command, options->roster);
    command->add_option("-p,--port", options->fleet.port, "A port name from `ports` (ttyUSB0) or a path")->required();
    command->add_option("--log", options->fleet.log, "CSV log, appended a line per unit")->required();
    command->add_option("--out", options->out, "Keep each unit's sent image as DIR/UNIT.tbl, ready for Verify");
    command->add_flag("--wait", options->fleet.waitForPagers,
                      "Do not ask: wait until a pager that was not written last is behind the board");
    command->add_flag("--changed-only", options->fleet.changedOnly,
                      "Read each pager first and send only the 8-byte pieces it does not hold yet (all of them when "
                      "it cannot be read); the same seal and read-back");
    command
        ->add_option("--on-failure", options->onFailure, "After a failed Write: ask (default), skip the unit, or stop")
        ->transform(CLI::CheckedTransformer(
            std::map<std::string, FailurePolicy>{
                {"ask", FailurePolicy::Ask}, {"skip", FailurePolicy::Skip}, {"stop", FailurePolicy::Stop}},
            CLI::ignore_case)
                        .description("ask|skip|stop"));
    command->add_flag("--accept-tone-plan", options->acceptTonePlan,
                      "Write even when the tone plan has problems (refused values never are)");
    AddTraceOption(*command, options->trace);
    command->callback([&status, options] { status = RunRosterWrite(*options); });
}

}  // namespace

void AddRosterCommands(CLI::App& app, int& status) {
    auto* roster = app.add_subcommand("roster", "Program a fleet: one base table file, one roster row per pager");
    roster->require_subcommand(1);
    AddCheckCommand(*roster, status);
    AddWriteCommand(*roster, status);
    AddFleetReadCommands(*roster, status);
    AddSheetCommand(*roster, status);
}

}  // namespace zr::cli

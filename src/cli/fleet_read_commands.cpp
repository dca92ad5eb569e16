// zr250pro-cli roster verify and roster read: the pagers of a fleet read one after another, each
// told against the roster's plan, or kept as table files with a roster that programs them again.
#include <CLI/CLI.hpp>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <functional>
#include <iostream>
#include <memory>

#include "cli_common.h"
#include "file_system.h"
#include "fleet_check.h"
#include "fleet_identity.h"
#include "fleet_writer.h"
#include "image_identity.h"
#include "next_pager.h"
#include "roster.h"
#include "safe_save.h"
#include "squelch_levels.h"
#include "table_files.h"
#include "terminal_view.h"

namespace zr::cli {

namespace {

// "image" is the identity of what the pager holds (its firmware bytes left out), as the write log
// names the image sent.
inline const std::vector<std::string> kVerifyLogHeader{"time",     "port",       "unit",
                                                       "outcome", "differences", "image"};

// A Read's status on standard error; its message box kept for the pager's line.
class PagerReadView final : public QuietView {
public:
    void SetStatusText(std::string_view text) override { status_.SetStatusText(text); }
    MessageAnswer ShowMessage(const Message& message) override {
        lastMessage = message.text;
        return MessageAnswer::Ok;
    }
    std::string lastMessage;

private:
    TerminalView status_;
};

// Pager after pager behind the board: the technician seats each and presses Enter, or with --wait
// the next one is noticed by itself.
class PagerTurns {
public:
    PagerTurns(CommPort& port, const std::string& portName, bool wait)
        : ports_{portName}, wait_(wait), next_(port, ports_, quiet_) {}

    const PortNameTable& Ports() const { return ports_; }

    // False once the technician stops (q, the end of the input, Ctrl+C).
    bool NextPager(std::size_t number) {
        if (wait_)
            return next_.Wait(StopAsked, [this, number](std::string_view why) {
                if (why == lastWhy_) return;
                lastWhy_ = std::string(why);
                std::cerr << "Waiting for pager " << number << ": " << why << std::endl;
            });
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

    void Handled(const std::optional<PagerImage>& memory) {
        lastWhy_.clear();
        next_.Handled(memory);
    }

private:
    const PortNameTable ports_;
    bool wait_;
    QuietView quiet_;
    NextPagerWait next_;
    std::string lastWhy_;
};

struct PagerRead {
    std::optional<PagerImage> memory;  // as the Read brought it, the squelch repair done
    PagerImage held{};                 // with memory: the bytes the pager holds, before the repair
    std::string message;               // the Read's message box
};

PagerRead ReadSeatedPager(CommPort& port, const PortNameTable& ports) {
    PagerImage image = StartupEditorSession().image;
    PagerRead read;
    PagerReadView view;
    const SquelchLevelTable levels = BuiltInSquelchLevelTable();
    if (ReadPagerKeepingHeld({port, ports, 0, image, levels, view}, read.held)) read.memory = image;
    read.message = view.lastMessage;
    return read;
}

struct FleetReadOptions {
    std::string port;
    bool wait = false;
    bool userMode = false;
    std::string trace;
};

void AddFleetReadArguments(CLI::App& command, FleetReadOptions& options) {
    command.add_option("-p,--port", options.port, "A port name from `ports` (ttyUSB0) or a path")->required();
    command.add_flag("--wait", options.wait,
                     "Do not ask: wait until a pager that was not read last is behind the board");
    command.add_flag("--user-mode", options.userMode, "Take the roster's tones in User Mode instead of Standard Mode");
    AddTraceOption(command, options.trace);
}

// Pager after pager on the port: while `more` (given the pagers read so far) says so and the
// technician goes on, the next pager is seated (asked, or waited for), read and handed to `handle`
// with its number from 1; `handle` false ends the round. False when the port cannot be made.
bool ReadPagerAfterPager(const FleetReadOptions& options, const std::function<bool(std::size_t)>& more,
                         const std::function<bool(std::size_t, const PagerRead&)>& handle) {
    const auto port = CommandPort(options.trace);
    if (!port) return false;
    CatchStopSignals();
    PagerTurns turns(*port, options.port, options.wait);
    for (std::size_t number = 1; more(number - 1) && turns.NextPager(number); ++number) {
        const PagerRead read = ReadSeatedPager(*port, turns.Ports());
        turns.Handled(read.memory ? std::optional(read.held) : std::nullopt);
        if (!handle(number, read)) break;
    }
    return true;
}

// The roster's units built over the base, or the exit status when they cannot be used.
std::variant<std::vector<UnitImage>, int> PlannedUnits(const std::string& base, const std::string& roster,
                                                       bool userMode) {
    const auto fleet = CheckFleet(base, roster, userMode ? ToneEntryMode::User : ToneEntryMode::Standard);
    if (const auto* error = std::get_if<TableError>(&fleet)) {
        PrintDiagnostic(DescribeTableError(roster, *error));
        return kExitUsage;
    }
    if (const auto* error = std::get_if<Message>(&fleet)) {
        PrintMessage(*error);
        PrintDiagnostic("cannot read " + base);
        return kExitUsage;
    }
    const auto& checked = std::get<CheckedFleet>(fleet);
    if (checked.HasRefusedCells()) {
        PrintDiagnostic(roster + ": a unit's image cannot be built as the roster says (see `roster check`)");
        return kExitUsage;
    }
    return checked.units;
}

struct VerifyOptions {
    FleetReadOptions read;
    std::string base;
    std::string roster;
    std::string log;
};

// A new log gets its header; an existing one must be a verify log, never another file appended to.
std::optional<std::string> StartVerifyLog(const std::filesystem::path& log) {
    std::error_code error;
    if (std::filesystem::exists(log, error) && std::filesystem::file_size(log, error) > 0) {
        const auto text = ReadTextFile(log);
        if (const auto* failure = std::get_if<TableError>(&text)) return failure->text;
        const auto rows = ParseCsv(std::get<std::string>(text));
        const auto* lines = std::get_if<std::vector<CsvRow>>(&rows);
        if (lines == nullptr || lines->empty() || lines->front().cells != kVerifyLogHeader)
            return "not a verify log: its first line is not " + CsvLine(kVerifyLogHeader);
        return std::nullopt;
    }
    if (files::AppendDurably(log, CsvLine(kVerifyLogHeader) + "\r\n")) return "cannot be written";
    return std::nullopt;
}

std::string DifferingKeys(const std::vector<FieldMismatch>& fields) {
    std::string keys;
    for (const auto& field : fields) keys += (keys.empty() ? "" : " ") + field.key;
    return keys;
}

int RunVerify(const VerifyOptions& options) {
    const auto planned = PlannedUnits(options.base, options.roster, options.read.userMode);
    if (const auto* exit = std::get_if<int>(&planned)) return *exit;
    const auto& units = std::get<std::vector<UnitImage>>(planned);
    if (!options.log.empty()) {
        if (const auto refused = files::CheckAppendTarget(options.log)) {
            PrintDiagnostic(options.log + ": cannot be written: " + *refused);
            return kExitUsage;
        }
        if (const auto fault = StartVerifyLog(options.log)) {
            PrintDiagnostic(options.log + ": " + *fault);
            return kExitUsage;
        }
    }
    const FleetMatcher matcher(units);
    std::vector<bool> seen(units.size(), false);
    std::size_t pagers = 0, asPlanned = 0;
    bool logFailed = false;
    const auto unseen = [&seen](std::size_t) { return std::find(seen.begin(), seen.end(), false) != seen.end(); };
    const bool opened = ReadPagerAfterPager(options.read, unseen, [&](std::size_t number, const PagerRead& read) {
        pagers = number;
        std::string unit, outcome, keys, image;
        if (!read.memory) {
            outcome = "not read";
            std::cout << "Pager " << pagers << ": not read: " << read.message << std::endl;
        } else {
            // What the pager holds is told against the plan, not what the Read's repair made of it.
            const PagerIdentity identity = matcher.Identify(read.held);
            image = ImageIdentity(read.held);
            if (identity.match != PagerMatch::NotInRoster) {
                unit = units[identity.unit].name;
                seen[identity.unit] = true;
            }
            if (identity.match == PagerMatch::AsPlanned) {
                ++asPlanned;
                outcome = "as planned";
                std::cout << unit << ": as planned" << std::endl;
            } else if (identity.match == PagerMatch::Differs) {
                outcome = "differs";
                keys = DifferingKeys(identity.fields);
                std::cout << unit << " (nearest): " << MismatchText(identity.fields) << std::endl;
            } else {
                outcome = "not in this roster";
                std::cout << "Pager " << pagers << ": not in this roster" << std::endl;
            }
        }
        if (!options.log.empty() &&
            files::AppendDurably(options.log,
                                 CsvLine({LogTimeText(), options.read.port, unit, outcome, keys, image}) + "\r\n")) {
            PrintDiagnostic("cannot append to the log " + options.log + "; stopped");
            logFailed = true;
            return false;
        }
        return true;
    });
    if (!opened) return kExitUsage;
    std::string notSeen;
    for (std::size_t i = 0; i < units.size(); ++i)
        if (!seen[i]) notSeen += (notSeen.empty() ? "" : ", ") + units[i].name;
    std::cout << pagers << (pagers == 1 ? " pager" : " pagers") << " read, " << asPlanned << " as planned";
    if (!notSeen.empty()) std::cout << "; not seen: " << notSeen;
    std::cout << std::endl;
    return pagers > 0 && asPlanned == pagers && !logFailed ? kExitSuccess : kExitFailure;
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
    AddFleetReadArguments(*command, options->read);
    command->add_option("--log", options->log, "CSV log, appended a line per pager");
    command->callback([&status, options] { status = RunVerify(*options); });
}

struct ReadOptions {
    FleetReadOptions read;
    std::string out;
    std::string base;
    std::string plan;
    std::string roster;
    std::size_t count = 0;
};

int RunRead(const ReadOptions& options) {
    std::optional<EditorSession> base;
    if (!options.base.empty()) {
        auto opened = OpenBaseTable(options.base);
        if (const auto* error = std::get_if<Message>(&opened)) {
            PrintMessage(*error);
            PrintDiagnostic("cannot read " + options.base);
            return kExitUsage;
        }
        base = std::get<OpenedBase>(opened).session;
    }
    std::vector<UnitImage> units;
    if (!options.plan.empty()) {
        if (options.base.empty()) {
            PrintDiagnostic("--plan names the pagers after its units: it needs --base");
            return kExitUsage;
        }
        auto planned = PlannedUnits(options.base, options.plan, options.read.userMode);
        if (const auto* exit = std::get_if<int>(&planned)) return *exit;
        units = std::move(std::get<std::vector<UnitImage>>(planned));
    }
    std::error_code error;
    if (!options.roster.empty() && std::filesystem::exists(std::filesystem::symlink_status(options.roster, error))) {
        PrintDiagnostic(options.roster + ": exists already; a roster is never written over");
        return kExitUsage;
    }
    std::filesystem::create_directories(options.out, error);
    if (!std::filesystem::is_directory(options.out, error)) {
        PrintDiagnostic(options.out + ": cannot be made a folder");
        return kExitUsage;
    }
    const FleetMatcher matcher(units);
    std::vector<bool> seen(units.size(), false);
    std::vector<KeptPager> kept;
    bool failed = false;
    const auto more = [&](std::size_t pagers) {
        const bool allPlannedRead = !units.empty() && std::find(seen.begin(), seen.end(), false) == seen.end();
        return !allPlannedRead && (options.count == 0 || pagers < options.count);
    };
    const bool opened = ReadPagerAfterPager(options.read, more, [&](std::size_t pagers, const PagerRead& read) {
        if (!read.memory) {
            failed = true;
            std::cout << "Pager " << pagers << ": not read: " << read.message << std::endl;
            return true;
        }
        std::string stem = NumberedPagerName(pagers);
        if (const PagerIdentity identity = matcher.Identify(read.held); identity.match == PagerMatch::AsPlanned) {
            stem = units[identity.unit].name;
            seen[identity.unit] = true;
        }
        const auto path = UnusedTablePath(options.out, stem);
        // The file holds the image as the window holds it after Read, as `read` saves it.
        EditorSession session = StartupEditorSession();
        session.image = *read.memory;
        session.Load();
        if (const auto failure = SaveTableFileAs(path, session.image)) {
            failed = true;
            std::cout << "Pager " << pagers << ": cannot save " << path.string() << ": " << failure->reason
                      << std::endl;
            return true;
        }
        kept.push_back({path.stem().string(), *read.memory});
        std::cout << path.filename().string() << ": read" << std::endl;
        return true;
    });
    if (!opened) return kExitUsage;
    if (!options.roster.empty() && !kept.empty()) {
        const RosterOfFleet made = MakeRosterOfFleet(kept, base);
        for (const auto& problem : made.problems) PrintDiagnostic(options.roster + ": " + problem);
        failed = failed || !made.problems.empty();
        const std::span bytes(reinterpret_cast<const std::uint8_t*>(made.csv.data()), made.csv.size());
        if (const auto refused = files::SaveFileSafely(options.roster, bytes, files::Backup::None)) {
            PrintDiagnostic("cannot save " + options.roster + ": " + *refused);
            failed = true;
        }
    }
    std::cout << kept.size() << (kept.size() == 1 ? " pager" : " pagers") << " kept in " << options.out << std::endl;
    return !failed && !kept.empty() ? kExitSuccess : kExitFailure;
}

void AddReadCommand(CLI::App& roster, int& status) {
    auto options = std::make_shared<ReadOptions>();
    auto* command = roster.add_subcommand(
        "read", "Read the fleet's pagers one after another into table files, never over a file, and make a roster "
                "that programs fresh pagers with the same images (exit 0 when every pager was kept, 1 otherwise)");
    AddFleetReadArguments(*command, options->read);
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

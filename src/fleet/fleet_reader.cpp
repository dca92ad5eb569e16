#include "fleet_reader.h"

#include <algorithm>
#include <functional>
#include <span>

#include "file_system.h"
#include "fleet_writer.h"
#include "image_folder.h"
#include "image_identity.h"
#include "next_pager.h"
#include "roster.h"
#include "safe_save.h"
#include "squelch_levels.h"
#include "table_files.h"

namespace zr {

namespace {

// A Read as the front end shows it, its message box kept for the pager's line; the editor's effects
// (the image replaced, the firmware shown) stay away, as no editor holds the pager read.
class KeptMessageView final : public QuietView {
public:
    explicit KeptMessageView(DeviceOperationView& shown) : shown_(shown) {}

    void SetStatusText(std::string_view text) override { shown_.SetStatusText(text); }
    void SetProgressRange(int maximum) override { shown_.SetProgressRange(maximum); }
    void SetProgressPosition(int position) override { shown_.SetProgressPosition(position); }
    int ProgressPosition() const override { return shown_.ProgressPosition(); }
    MessageAnswer ShowMessage(const Message& message) override {
        lastMessage = message.text;
        return shown_.ShowMessage(message);
    }
    void ExplainPortFailures(const std::vector<PortFailure>& failures) override {
        shown_.ExplainPortFailures(failures);
    }
    void ProcessEvents() override { shown_.ProcessEvents(); }

    std::string lastMessage;

private:
    DeviceOperationView& shown_;
};

struct PagerRead {
    std::optional<PagerImage> memory;  // as the Read brought it, the squelch repair done
    PagerImage held{};                 // with memory: the bytes the pager holds, before the repair
    std::string message;               // the Read's message box
};

PagerRead ReadSeatedPager(CommPort& port, const PortNameTable& ports, DeviceOperationView& shown) {
    PagerImage image = StartupEditorSession().image;
    PagerRead read;
    KeptMessageView view(shown);
    const SquelchLevelTable levels = BuiltInSquelchLevelTable();
    if (ReadPagerKeepingHeld({port, ports, 0, image, levels, view}, read.held)) read.memory = image;
    read.message = view.lastMessage;
    return read;
}

// Pager after pager on the port: while `more` (given the pagers read so far) says so and the
// technician goes on, the next pager is seated (asked, or waited for), read and handed to `handle`
// with its number from 1; `handle` false ends the round.
void ReadPagerAfterPager(const PagerRoundOptions& options, CommPort& port, FleetReadFrontEnd& frontEnd,
                         const std::function<bool(std::size_t)>& more,
                         const std::function<bool(std::size_t, const PagerRead&)>& handle) {
    const PortNameTable ports{options.port};
    NextPagerWait next(port, ports, frontEnd.DeviceView());
    const auto seated = [&](std::size_t number) {
        if (frontEnd.StopRequested()) return false;
        if (!options.waitForPagers) return frontEnd.AskToSeat(number) && !frontEnd.StopRequested();
        return next.Wait([&frontEnd] { return frontEnd.StopRequested(); },
                         [&frontEnd, number](std::string_view why) { frontEnd.ShowWaiting(number, why); });
    };
    for (std::size_t number = 1; more(number - 1) && seated(number); ++number) {
        const PagerRead read = ReadSeatedPager(port, ports, frontEnd.DeviceView());
        next.Handled(read.memory ? std::optional(read.held) : std::nullopt);
        if (!handle(number, read)) break;
    }
}

// A new log gets its header; an existing one must be a verify log, never another file appended to.
std::optional<std::string> StartVerifyLog(const std::filesystem::path& log) {
    if (const auto refused = files::CheckAppendTarget(log)) return "cannot be written: " + *refused;
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

std::string PagerNumberText(std::size_t number) { return "Pager " + std::to_string(number); }

// What a pager read turned out to be against the plan.
PagerOutcome Verdict(const std::vector<UnitImage>& units, const FleetMatcher& matcher, std::size_t number,
                     const PagerRead& read) {
    PagerOutcome verdict{number, std::nullopt, "", {}, ""};
    if (!read.memory) {
        verdict.outcome = "not read";
        verdict.line = PagerNumberText(number) + ": not read: " + read.message;
        return verdict;
    }
    // What the pager holds is told against the plan, not what the Read's repair made of it.
    PagerIdentity identity = matcher.Identify(read.held);
    if (identity.match == PagerMatch::NotInRoster) {
        verdict.outcome = "not in this roster";
        verdict.line = PagerNumberText(number) + ": not in this roster";
        return verdict;
    }
    verdict.unit = identity.unit;
    const std::string& name = units[identity.unit].name;
    if (identity.match == PagerMatch::AsPlanned) {
        verdict.outcome = "as planned";
        verdict.line = name + ": as planned";
    } else {
        verdict.outcome = "differs";
        verdict.line = name + " (nearest): " + MismatchText(identity.fields);
        verdict.fields = std::move(identity.fields);
    }
    return verdict;
}

std::string PagersText(std::size_t count) { return std::to_string(count) + (count == 1 ? " pager" : " pagers"); }

}  // namespace

std::string SummaryText(const FleetVerifySummary& summary) {
    std::string text = PagersText(summary.pagers) + " read, " + std::to_string(summary.asPlanned) + " as planned";
    for (std::size_t i = 0; i < summary.notSeen.size(); ++i)
        text += (i == 0 ? "; not seen: " : ", ") + summary.notSeen[i];
    return text;
}

FleetVerifySummary VerifyFleet(const std::vector<UnitImage>& units, const PagerRoundOptions& options,
                               const std::filesystem::path& log, CommPort& port, FleetReadFrontEnd& frontEnd) {
    FleetVerifySummary summary;
    if (!log.empty())
        if (const auto fault = StartVerifyLog(log)) {
            summary.setupError = log.string() + ": " + *fault;
            return summary;
        }
    const FleetMatcher matcher(units);
    std::vector<bool> seen(units.size(), false);
    const auto unseen = [&seen](std::size_t) { return std::find(seen.begin(), seen.end(), false) != seen.end(); };
    ReadPagerAfterPager(options, port, frontEnd, unseen, [&](std::size_t number, const PagerRead& read) {
        summary.pagers = number;
        const PagerOutcome verdict = Verdict(units, matcher, number, read);
        if (verdict.unit) seen[*verdict.unit] = true;
        if (verdict.outcome == "as planned") ++summary.asPlanned;
        frontEnd.ShowPagerDone(verdict);
        const std::string unit = verdict.unit ? units[*verdict.unit].name : std::string();
        if (!log.empty() &&
            files::AppendDurably(log, CsvLine({LogTimeText(), options.port, unit, verdict.outcome,
                                               DifferingKeys(verdict.fields),
                                               read.memory ? ImageIdentity(read.held) : std::string()}) +
                                          "\r\n")) {
            frontEnd.ShowProblem("cannot append to the log " + log.string() + "; stopped");
            summary.logFailed = true;
            return false;
        }
        return true;
    });
    for (std::size_t i = 0; i < units.size(); ++i)
        if (!seen[i]) summary.notSeen.push_back(units[i].name);
    return summary;
}

std::string SummaryText(const FleetReadSummary& summary, const std::filesystem::path& out) {
    return PagersText(summary.kept) + " kept in " + out.string();
}

FleetReadSummary ReadFleet(const FleetReadOptions& options, CommPort& port, FleetReadFrontEnd& frontEnd) {
    FleetReadSummary summary;
    std::error_code error;
    if (!options.roster.empty() && std::filesystem::exists(std::filesystem::symlink_status(options.roster, error))) {
        summary.setupError = options.roster.string() + ": exists already; a roster is never written over";
        return summary;
    }
    if (const auto refused = PrepareImageFolder(options.out)) {
        summary.setupError = options.out.string() + ": " + *refused;
        return summary;
    }
    const FleetMatcher matcher(options.plan);
    std::vector<bool> seen(options.plan.size(), false);
    std::vector<KeptPager> kept;
    const auto more = [&](std::size_t pagers) {
        const bool allPlannedRead = !seen.empty() && std::find(seen.begin(), seen.end(), false) == seen.end();
        return !allPlannedRead && (options.count == 0 || pagers < options.count);
    };
    ReadPagerAfterPager(options.round, port, frontEnd, more, [&](std::size_t number, const PagerRead& read) {
        PagerOutcome outcome{number, std::nullopt, "not read", {}, ""};
        if (!read.memory) {
            summary.failed = true;
            outcome.line = PagerNumberText(number) + ": not read: " + read.message;
            frontEnd.ShowPagerDone(outcome);
            return true;
        }
        std::string stem = NumberedPagerName(number);
        if (const PagerIdentity identity = matcher.Identify(read.held); identity.match == PagerMatch::AsPlanned) {
            stem = options.plan[identity.unit].name;
            seen[identity.unit] = true;
            outcome.unit = identity.unit;
        }
        const auto path = UnusedTablePath(options.out, stem);
        // The file holds the image as the window holds it after Read, as `read` saves it.
        EditorSession session = StartupEditorSession();
        session.image = *read.memory;
        session.Load();
        if (const auto failure = SaveTableFileAs(path, session.image)) {
            summary.failed = true;
            outcome.outcome = "not kept";
            outcome.line = PagerNumberText(number) + ": cannot save " + path.string() + ": " + failure->reason;
        } else {
            kept.push_back({path.stem().string(), *read.memory});
            outcome.outcome = "read";
            outcome.line = path.filename().string() + ": read";
        }
        frontEnd.ShowPagerDone(outcome);
        return true;
    });
    summary.kept = kept.size();
    if (!options.roster.empty() && !kept.empty()) {
        const RosterOfFleet made = MakeRosterOfFleet(kept, options.base);
        for (const auto& problem : made.problems) frontEnd.ShowProblem(options.roster.string() + ": " + problem);
        summary.failed = summary.failed || !made.problems.empty();
        const std::span bytes(reinterpret_cast<const std::uint8_t*>(made.csv.data()), made.csv.size());
        if (const auto refused = files::SaveFileSafely(options.roster, bytes, files::Backup::None)) {
            frontEnd.ShowProblem("cannot save " + options.roster.string() + ": " + *refused);
            summary.failed = true;
        }
    }
    return summary;
}

}  // namespace zr

#include "fleet_writer.h"

#include <chrono>
#include <ctime>
#include <thread>

#include "file_system.h"
#include "image_offsets.h"
#include "number_text.h"
#include "safe_save.h"
#include "squelch_levels.h"
#include "table_files.h"

namespace zr {

namespace {

constexpr std::chrono::milliseconds kWaitSlice{50};
constexpr int kSlicesBetweenLooks = 10;  // half a second between two looks behind the board

// The image exactly as a Write sends it.
PagerImage SentImage(PagerImage image) {
    PrepareImageForWrite(image, BuiltInSquelchLevelTable());
    return image;
}

std::string LocalTimeText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
    return text;
}

// Appends one line and makes sure it is on the disk before the next pager is touched: the log is
// the record a resume trusts.
bool AppendLogLine(const std::filesystem::path& log, const std::vector<std::string>& cells) {
    return !files::AppendDurably(log, CsvLine(cells) + "\r\n");
}

// A new log gets its header before any pager is touched, so a log that cannot be written stops
// the run before the first Write rather than after it.
bool StartLog(const std::filesystem::path& log) {
    std::error_code error;
    if (std::filesystem::exists(log, error) && std::filesystem::file_size(log, error) > 0) return true;
    return AppendLogLine(log, kFleetLogHeader);
}

// The Write's view as the front end shows it, remembering the last message box, the firmware version
// the Write read and how many pieces it sent.
class RecordedView final : public DeviceOperationView {
public:
    explicit RecordedView(DeviceOperationView& shown) : shown_(shown) {}

    void SetStatusText(std::string_view text) override { shown_.SetStatusText(text); }
    void ClearFileNamePanel() override { shown_.ClearFileNamePanel(); }
    void SetProgressRange(int maximum) override { shown_.SetProgressRange(maximum); }
    void SetProgressPosition(int position) override { shown_.SetProgressPosition(position); }
    int ProgressPosition() const override { return shown_.ProgressPosition(); }
    MessageAnswer ShowMessage(const Message& message) override {
        lastMessage = message.text;
        return shown_.ShowMessage(message);
    }
    void SetWindowEnabled(bool enabled) override { shown_.SetWindowEnabled(enabled); }
    void SetDeviceMenuEnabled(bool read, bool write, bool verify) override {
        shown_.SetDeviceMenuEnabled(read, write, verify);
    }
    bool IsModifyMode() const override { return shown_.IsModifyMode(); }
    void ShowFirmwareVersion(std::string_view text) override {
        firmware = text;
        shown_.ShowFirmwareVersion(text);
    }
    void ImageReplaced() override { shown_.ImageReplaced(); }
    void ExplainPortFailures(const std::vector<PortFailure>& failures) override {
        shown_.ExplainPortFailures(failures);
    }
    void ProcessEvents() override { shown_.ProcessEvents(); }
    void ReportPiecesSent(int count) override {
        pieces = std::to_string(count);
        shown_.ReportPiecesSent(count);
    }
    void ShowDiagnostic(std::string_view text) override { shown_.ShowDiagnostic(text); }

    std::string lastMessage;
    std::string firmware;
    std::string pieces;

private:
    DeviceOperationView& shown_;
};

class FleetRun {
public:
    FleetRun(const std::vector<UnitImage>& units, const FleetWriteOptions& options, CommPort& port,
             FleetFrontEnd& frontEnd)
        : units_(units), options_(options), frontEnd_(frontEnd), port_(port), ports_{options.port} {}

    FleetWriteSummary Run() {
        // The log is judged as a save judges its target before it is read: a FIFO, a device or a
        // read-only file is refused, never waited on or forced.
        if (const auto refused = files::CheckAppendTarget(options_.log)) {
            summary_.logError = TableError{0, 0, "cannot be written: " + *refused};
            return summary_;
        }
        const auto written = WrittenUnits(options_.log);
        if (const auto* error = std::get_if<TableError>(&written)) {
            summary_.logError = *error;
            return summary_;
        }
        if (!StartLog(options_.log)) {
            summary_.logError = TableError{0, 0, "cannot be written"};
            return summary_;
        }
        const auto& alreadyWritten = std::get<std::map<std::string, std::string>>(written);
        for (std::size_t i = 0; i < units_.size() && !summary_.stopped; ++i) {
            const UnitImage& unit = units_[i];
            const auto logged = alreadyWritten.find(unit.name);
            if (logged != alreadyWritten.end() && logged->second == SentChecksum(unit.image)) {
                ++summary_.alreadyWritten;
                frontEnd_.ShowUnitDone(unit, UnitOutcome::AlreadyWritten, {});
                continue;
            }
            if (frontEnd_.StopRequested()) {
                summary_.stopped = true;
                break;
            }
            ProgramUnit(unit, i + 1);
            if (frontEnd_.StopRequested()) summary_.stopped = true;
        }
        return summary_;
    }

private:
    void ProgramUnit(const UnitImage& unit, std::size_t number) {
        const UnitStep step = options_.waitForPagers ? WaitForNewPager(unit)
                                                     : frontEnd_.AskToConnect(unit, number, units_.size());
        if (step == UnitStep::Stop) {
            summary_.stopped = true;
            return;
        }
        if (step == UnitStep::Skip) {
            ++summary_.skipped;
            Record(unit, UnitOutcome::Skipped,
                   {LocalTimeText(), unit.name, options_.port, "", std::string(kSkippedOutcome), "", "", ""});
            return;
        }
        for (;;) {
            PagerImage image = unit.image;
            RecordedView view(frontEnd_.DeviceView());
            const bool ok = WriteUnit(image, view);
            attempted_ = true;
            // The next pager is the one behind the board once this one has gone: a written pager
            // may also be told by its memory, a failed one only by its removal.
            sawNoPager_ = false;
            lastWritten_.reset();
            if (ok) {
                lastWritten_ = image;
                SaveSentImage(unit, image);
            }
            if (!Record(unit, ok ? UnitOutcome::Written : UnitOutcome::Failed,
                        {LocalTimeText(), unit.name, options_.port, view.firmware,
                         std::string(ok ? kWrittenOutcome : kFailedOutcome), view.lastMessage,
                         SentChecksum(unit.image), view.pieces}))
                return;
            if (ok) {
                ++summary_.written;
                return;
            }
            const UnitStep next = frontEnd_.AskAfterFailure(unit, view.lastMessage);
            if (next == UnitStep::Go) continue;
            ++summary_.failed;
            if (next == UnitStep::Stop) summary_.stopped = true;
            return;
        }
    }

    // The one Write of a unit: the window's Write, gates, repair, seal, pieces and read-back; with
    // `changedOnly` only the pieces the pager does not hold yet.
    bool WriteUnit(PagerImage& image, DeviceOperationView& view) {
        const SquelchLevelTable levels = BuiltInSquelchLevelTable();
        const auto write = options_.changedOnly ? WriteChangedPieces : WritePager;
        return write({port_, ports_, 0, image, levels, view});
    }

    bool Record(const UnitImage& unit, UnitOutcome outcome, const std::vector<std::string>& line) {
        if (!AppendLogLine(options_.log, line)) {
            frontEnd_.ShowProblem("cannot append to the log " + options_.log.string() + "; stopped");
            summary_.stopped = true;
            if (outcome == UnitOutcome::Written) ++summary_.written;
            return false;
        }
        frontEnd_.ShowUnitDone(unit, outcome, line);
        return true;
    }

    void SaveSentImage(const UnitImage& unit, const PagerImage& image) {
        if (!options_.outDirectory) return;
        std::error_code error;
        std::filesystem::create_directories(*options_.outDirectory, error);
        const auto path = *options_.outDirectory / (unit.name + ".tbl");
        if (const auto failure = SaveTableFileAs(path, image))
            frontEnd_.ShowProblem("cannot save " + path.string() + ": " + failure->reason);
    }

    // Looks behind the board until a pager is there that was not written last: no pager answered in
    // between, or its memory differs from what was sent to the last one.
    UnitStep WaitForNewPager(const UnitImage& unit) {
        for (;;) {
            if (frontEnd_.StopRequested()) return UnitStep::Stop;
            const auto why = WhyNotTaken();
            if (!why) return UnitStep::Go;
            frontEnd_.ShowWaiting(unit, *why);
            for (int slice = 0; slice < kSlicesBetweenLooks; ++slice) {
                if (frontEnd_.StopRequested()) return UnitStep::Stop;
                std::this_thread::sleep_for(kWaitSlice);
                frontEnd_.DeviceView().ProcessEvents();
            }
        }
    }

    // Nothing when the pager behind the board is a new one to write.
    std::optional<std::string> WhyNotTaken() {
        PagerImage seen{};
        EventsOnlyView quiet(frontEnd_.DeviceView());
        const SquelchLevelTable levels = BuiltInSquelchLevelTable();
        const DeviceContext context{port_, ports_, 0, seen, levels, quiet};
        // The checksum first: two bytes tell a different pager at once; the whole memory only when
        // they match.
        if (const auto why = Absence(PeekPagerMemory(context, kChecksumOffset, 2))) return why;
        if (sawNoPager_ || !attempted_) return std::nullopt;
        if (!lastWritten_) return "the pager whose Write failed is still behind the board";
        if (GetWord16(seen, kChecksumOffset) != GetWord16(*lastWritten_, kChecksumOffset)) return std::nullopt;
        for (std::uint16_t address = 0; address < kImageSize; address += kImageSize / 2)
            if (const auto why = Absence(PeekPagerMemory(context, address, kImageSize / 2))) return why;
        if (seen != *lastWritten_) return std::nullopt;
        return "the pager behind the board is the one just written";
    }

    // Why a look found no pager to take, remembering that none was there; nothing when it read.
    std::optional<std::string> Absence(PeekResult result) {
        if (result == PeekResult::Read) return std::nullopt;
        sawNoPager_ = true;
        if (result == PeekResult::NoBoard) return "no board answers on " + options_.port;
        return std::string("no pager behind the board");
    }

    // Looking behind the board shows nothing but keeps the front end's events flowing.
    class EventsOnlyView final : public QuietView {
    public:
        explicit EventsOnlyView(DeviceOperationView& shown) : shown_(shown) {}
        void ProcessEvents() override { shown_.ProcessEvents(); }

    private:
        DeviceOperationView& shown_;
    };

    const std::vector<UnitImage>& units_;
    const FleetWriteOptions& options_;
    FleetFrontEnd& frontEnd_;
    CommPort& port_;
    const PortNameTable ports_;
    FleetWriteSummary summary_;
    bool attempted_ = false;  // a pager was written to, successfully or not
    std::optional<PagerImage> lastWritten_;
    bool sawNoPager_ = false;
};

}  // namespace

std::string LogTimeText() { return LocalTimeText(); }

std::string_view OutcomeText(UnitOutcome outcome) {
    switch (outcome) {
    case UnitOutcome::Written: return kWrittenOutcome;
    case UnitOutcome::Failed: return kFailedOutcome;
    case UnitOutcome::Skipped: return kSkippedOutcome;
    case UnitOutcome::AlreadyWritten: return "already written";
    }
    return {};
}

std::string SentChecksum(const PagerImage& image) {
    return FormatHex(GetWord16(SentImage(image), kChecksumOffset), 4);
}

std::variant<std::map<std::string, std::string>, TableError> WrittenUnits(const std::filesystem::path& log) {
    std::map<std::string, std::string> written;
    std::error_code error;
    if (!std::filesystem::exists(log, error) || std::filesystem::file_size(log, error) == 0) return written;
    const auto text = ReadTextFile(log);
    if (const auto* failure = std::get_if<TableError>(&text)) return *failure;
    const auto rows = ParseCsv(std::get<std::string>(text));
    if (const auto* failure = std::get_if<TableError>(&rows)) return *failure;
    const auto& lines = std::get<std::vector<CsvRow>>(rows);
    if (lines.empty() || lines.front().cells != kFleetLogHeader)
        return TableError{1, 0, "not a fleet log: its first line is not " + CsvLine(kFleetLogHeader)};
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto& cells = lines[i].cells;
        if (cells.size() == 1 && cells[0].empty()) continue;
        if (cells.size() != kFleetLogHeader.size())
            return TableError{lines[i].line, 0, "the line has " + std::to_string(cells.size()) + " cells, the log " +
                                                    std::to_string(kFleetLogHeader.size())};
        // A later line of the same unit replaces an earlier one: a unit written again since counts
        // with its newest image, one that failed since counts as not written.
        if (cells[4] == kWrittenOutcome) written[cells[1]] = cells[6];
        else if (cells[4] == kFailedOutcome) written.erase(cells[1]);
    }
    return written;
}

std::string SummaryText(const FleetWriteSummary& summary, std::size_t units) {
    std::string text = std::to_string(summary.written) + " written, " + std::to_string(summary.alreadyWritten) +
                       " already written, " + std::to_string(summary.failed) + " failed, " +
                       std::to_string(summary.skipped) + " skipped";
    if (summary.stopped && !summary.AllWritten(units)) text += "; stopped, run again with the same log to go on";
    return text;
}

FleetWriteSummary WriteFleet(const std::vector<UnitImage>& units, const FleetWriteOptions& options, CommPort& port,
                             FleetFrontEnd& frontEnd) {
    return FleetRun(units, options, port, frontEnd).Run();
}

}  // namespace zr

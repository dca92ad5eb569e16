#include "fleet_writer.h"

#include <chrono>
#include <ctime>
#include <thread>

#include "file_system.h"
#include "device_texts.h"
#include "image_folder.h"
#include "image_identity.h"
#include "seated_pager.h"
#include "safe_save.h"
#include "squelch_levels.h"
#include "table_files.h"

namespace zr {

namespace {

constexpr std::chrono::milliseconds kWaitSlice{50};
constexpr int kSlicesBetweenLooks = 10;  // half a second between two looks behind the board

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
        if (options_.outDirectory)
            if (const auto refused = PrepareImageFolder(*options_.outDirectory)) {
                summary_.outError = options_.outDirectory->string() + ": " + *refused;
                return summary_;
            }
        // The log is judged as a save judges its target before it is read: a FIFO, a device or a
        // read-only file is refused, never waited on or forced.
        if (const auto refused = files::CheckAppendTarget(options_.log)) {
            summary_.logError = TableError{0, 0, "cannot be written: " + *refused};
            return summary_;
        }
        auto read = ReadFleetLog(options_.log);
        if (const auto* error = std::get_if<TableError>(&read)) {
            summary_.logError = *error;
            return summary_;
        }
        log_ = std::move(std::get<FleetLog>(read));
        if (log_.oldForm) {
            if (const auto failure = UpgradeFleetLog(options_.log)) {
                summary_.logError = TableError{0, 0, "cannot be given its image column: " + *failure};
                return summary_;
            }
            frontEnd_.ShowProblem("the log " + options_.log.string() +
                                  " names no image for its units (an older log): every unit is written again");
        }
        if (!StartLog(options_.log)) {
            summary_.logError = TableError{0, 0, "cannot be written"};
            return summary_;
        }
        for (std::size_t i = 0; i < units_.size() && !summary_.stopped; ++i) {
            const UnitImage& unit = units_[i];
            const auto logged = log_.written.find(unit.name);
            if (logged != log_.written.end() && logged->second.identity == ImageIdentity(SentImage(unit.image))) {
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
        const UnitStep step = options_.waitForPagers ? WaitForNewPager(unit) : AskForPager(unit, number);
        if (step == UnitStep::Stop) {
            summary_.stopped = true;
            return;
        }
        if (step == UnitStep::Skip) {
            ++summary_.skipped;
            Record(unit, UnitOutcome::Skipped,
                   {LocalTimeText(), unit.name, options_.port, "", std::string(kSkippedOutcome), "", "", "", ""});
            return;
        }
        for (;;) {
            PagerImage image = unit.image;
            RecordedView view(frontEnd_.DeviceView());
            const bool ok = WriteUnit(image, view);
            const std::string time = LocalTimeText();
            const std::string identity = ImageIdentity(image);
            // A failed Write leaves its pager in hand: the next unit waits until it has gone.
            failedInHand_ = !ok;
            sawNoPager_ = false;
            std::string message = view.lastMessage;
            std::optional<std::string> notKept;
            if (ok) {
                log_.Add({unit.name, time, identity}, GetWord16(image, kChecksumOffset));
                notKept = SaveSentImage(unit, image);
                if (notKept) message += "; image not kept: " + *notKept;
            } else {
                log_.Forget(unit.name);
            }
            if (!Record(unit, ok ? UnitOutcome::Written : UnitOutcome::Failed,
                        {time, unit.name, options_.port, view.firmware, std::string(LoggedOutcome(ok, view)),
                         message, SentChecksum(unit.image), view.pieces, identity}))
                return;
            if (ok) {
                ++summary_.written;
                // The pager holds its image, but the record of it is missing: stop before the next
                // pager rather than write a fleet whose images are lost one after another.
                if (notKept) {
                    ++summary_.notKept;
                    frontEnd_.ShowProblem("cannot save " + *notKept + "; stopped");
                    summary_.stopped = true;
                }
                return;
            }
            const UnitStep next = frontEnd_.AskAfterFailure(unit, view.lastMessage);
            if (next == UnitStep::Go) continue;
            ++summary_.failed;
            if (next == UnitStep::Stop) summary_.stopped = true;
            return;
        }
    }

    // What the log says of a Write: written, failed, or that no pager answered the firmware question
    // (the Write then shows the old-firmware box, as the window's Write does).
    static std::string_view LoggedOutcome(bool written, const RecordedView& view) {
        if (written) return kWrittenOutcome;
        if (view.firmware.empty() && view.lastMessage == OldFirmwareMessage().text) return kNoPagerOutcome;
        return kFailedOutcome;
    }

    // The technician connects the unit's pager; one that holds another unit's image is written
    // only on their explicit word.
    UnitStep AskForPager(const UnitImage& unit, std::size_t number) {
        const UnitStep step = frontEnd_.AskToConnect(unit, number, units_.size());
        if (step != UnitStep::Go) return step;
        const SeatedPager seated = LookBehindBoard(port_, ports_, log_, frontEnd_.DeviceView());
        // Without a pager the Write itself tells what is missing.
        if (!seated.holder || seated.holder->unit == unit.name) return UnitStep::Go;
        return frontEnd_.AskToWriteOver(unit, *seated.holder);
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

    // Keeps the sent image as OUT/UNIT.tbl; the file and the reason when it cannot.
    std::optional<std::string> SaveSentImage(const UnitImage& unit, const PagerImage& image) {
        if (!options_.outDirectory) return std::nullopt;
        std::error_code error;
        std::filesystem::create_directories(*options_.outDirectory, error);
        const auto path = *options_.outDirectory / (unit.name + ".tbl");
        if (const auto failure = SaveTableFileAs(path, image)) return path.string() + ": " + failure->reason;
        return std::nullopt;
    }

    // Looks behind the board until a pager is there that was not written last: no pager answered in
    // between, or its memory differs from what was sent to the last one. An empty cradle is looked
    // at again at once (each glance waits on the line a moment), so a new pager is noticed the
    // moment it is seated; otherwise the board is looked at again every half second.
    UnitStep WaitForNewPager(const UnitImage& unit) {
        for (bool again = false;; again = true) {
            if (frontEnd_.StopRequested()) return StopWhileWaiting(unit);
            const auto why = WhyNotTaken(unit, again);
            if (!why) return UnitStep::Go;
            frontEnd_.ShowWaiting(unit, why->text);
            for (int slice = 0; slice < (why->emptyCradle ? 0 : kSlicesBetweenLooks); ++slice) {
                if (frontEnd_.StopRequested()) return StopWhileWaiting(unit);
                std::this_thread::sleep_for(kWaitSlice);
                frontEnd_.DeviceView().ProcessEvents();
            }
        }
    }

    UnitStep StopWhileWaiting(const UnitImage& unit) {
        CloseQuietly(port_);  // an empty cradle's look leaves it open for the next
        summary_.stoppedWaitingFor = unit.name;
        return UnitStep::Stop;
    }

    struct NotTaken {
        std::string text;
        bool emptyCradle = false;  // the board answers, no pager does
    };

    // Nothing when the pager behind the board may take the unit: it holds no other unit's image by
    // the log (an earlier image of this very unit marks its own pager), and it is not the pager
    // whose Write just failed, still in hand.
    std::optional<NotTaken> WhyNotTaken(const UnitImage& unit, bool again) {
        const SeatedPager seated = LookBehindBoard(port_, ports_, log_, frontEnd_.DeviceView(), again);
        if (seated.result == PeekResult::NoBoard) {
            sawNoPager_ = true;
            return NotTaken{"no board answers on " + options_.port};
        }
        if (!seated.Present()) {
            sawNoPager_ = true;
            return NotTaken{"no pager behind the board", true};
        }
        if (failedInHand_ && !sawNoPager_) return NotTaken{"the pager whose Write failed is still in hand"};
        if (seated.holder && seated.holder->unit != unit.name)
            return NotTaken{"the pager behind the board holds unit " + seated.holder->unit + "'s image, written " +
                            seated.holder->time};
        return std::nullopt;
    }

    const std::vector<UnitImage>& units_;
    const FleetWriteOptions& options_;
    FleetFrontEnd& frontEnd_;
    CommPort& port_;
    const PortNameTable ports_;
    FleetWriteSummary summary_;
    FleetLog log_;
    bool failedInHand_ = false;  // the last Write failed and its pager has not been seen to go
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

std::string SummaryText(const FleetWriteSummary& summary, std::size_t units) {
    if (summary.outError) return *summary.outError + "; no pager was written";
    std::string text = std::to_string(summary.written) + " written, " + std::to_string(summary.alreadyWritten) +
                       " already written, " + std::to_string(summary.failed) + " failed, " +
                       std::to_string(summary.skipped) + " skipped";
    if (summary.notKept > 0)
        text += ", " + std::to_string(summary.notKept) + (summary.notKept == 1 ? " image" : " images") + " not kept";
    if (summary.stoppedWaitingFor)
        text += "; stopped while waiting for the pager of unit " + *summary.stoppedWaitingFor +
                " (no pager in hand), run again with the same log to go on";
    else if (summary.stopped && !summary.AllWritten(units))
        text += "; stopped, run again with the same log to go on";
    return text;
}

FleetWriteSummary WriteFleet(const std::vector<UnitImage>& units, const FleetWriteOptions& options, CommPort& port,
                             FleetFrontEnd& frontEnd) {
    return FleetRun(units, options, port, frontEnd).Run();
}

}  // namespace zr

// Writing a fleet: each unit's image into its own pager, one after another, with the very Write of
// the window's Pager menu, and a log line for every unit, so that a run broken off (a failure, a
// break, a crash) is resumed with the same log and writes only what is missing.
#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "device_operations.h"
#include "fleet_check.h"
#include "fleet_log.h"
#include "roster.h"

namespace zr {

// The time as fleet logs write it: local time with its offset, "2026-12-10T14:03:59+0100".
std::string LogTimeText();

enum class UnitStep { Go, Skip, Stop };
enum class UnitOutcome { Written, Failed, Skipped, AlreadyWritten };
// What became of a unit, in the log's words ("already written" for a unit the log skips).
std::string_view OutcomeText(UnitOutcome outcome);

// What the technician sees and answers while a fleet is written: the command line and the window's
// fleet dialog each implement this.
class FleetFrontEnd {
public:
    virtual ~FleetFrontEnd() = default;
    // Where each Write shows its status, progress and message boxes.
    virtual DeviceOperationView& DeviceView() = 0;
    // Before each unit, unless the writer waits for the pagers by itself: connect the unit's pager
    // (Go), skip the unit, or stop.
    virtual UnitStep AskToConnect(const UnitImage& unit, std::size_t number, std::size_t count) = 0;
    // The pager behind the board holds `held`, another unit's image as the log records it: write
    // the unit into it (Go) only on the technician's explicit word, skip the unit, or stop.
    virtual UnitStep AskToWriteOver(const UnitImage& unit, const LoggedWrite& held) = 0;
    // While waiting for the unit's pager: why the pager behind the board is not taken yet.
    virtual void ShowWaiting(const UnitImage& unit, std::string_view why) = 0;
    // After a Write that failed with `message`: try again (Go), skip the unit, or stop.
    virtual UnitStep AskAfterFailure(const UnitImage& unit, const std::string& message) = 0;
    // A unit is finished; `logLine` holds the cells appended to the log (none for a unit the log
    // already had).
    virtual void ShowUnitDone(const UnitImage& unit, UnitOutcome outcome, const std::vector<std::string>& logLine) = 0;
    // Something the technician must know that is no message box of the Write (a file not saved).
    virtual void ShowProblem(const std::string& text) = 0;
    // True once the technician asked to stop (Ctrl+C, the Stop button): the run ends between units,
    // never inside a Write.
    virtual bool StopRequested() = 0;
};

struct FleetWriteOptions {
    std::string port;
    std::filesystem::path log;
    std::optional<std::filesystem::path> outDirectory;  // each unit's sent image as DIR/UNIT.tbl
    // Instead of asking, wait until a pager is behind the board that holds no other unit's image by
    // the log and is not the one whose Write just failed (no pager was there in between).
    bool waitForPagers = false;
    // Each Write reads the pager first and sends only the pieces it does not hold yet.
    bool changedOnly = false;
};

struct FleetWriteSummary {
    std::size_t written = 0;
    std::size_t alreadyWritten = 0;
    std::size_t failed = 0;
    std::size_t skipped = 0;
    bool stopped = false;
    // The stop came while waiting for this unit's pager, with no pager in hand.
    std::optional<std::string> stoppedWaitingFor;
    std::optional<TableError> logError;  // the log could not be read or written: no pager was touched
    // The folder of sent images cannot take them ("sent: is not a folder"): no pager was touched.
    std::optional<std::string> outError;
    std::size_t notKept = 0;  // units written whose sent image could not be saved (the run stops)

    bool AllWritten(std::size_t units) const { return !logError && !outError && written + alreadyWritten == units; }
};

// "3 written, 1 already written, 0 failed, 0 skipped", images not kept, and how to go on after a
// stop; or why no pager was written.
std::string SummaryText(const FleetWriteSummary& summary, std::size_t units);

// Writes the units in order through `port`, the program's one serial port.
FleetWriteSummary WriteFleet(const std::vector<UnitImage>& units, const FleetWriteOptions& options, CommPort& port,
                             FleetFrontEnd& frontEnd);

}  // namespace zr

// A fleet read back pager after pager behind one board: each pager told against a roster's plan
// (verify), or kept as a table file with a roster that programs fresh pagers again (read). The
// command line and the window's fleet dialog both run these, so both give the same lines and logs.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device_operations.h"
#include "editor_load.h"
#include "fleet_check.h"
#include "fleet_identity.h"

namespace zr {

// What became of one pager of the round.
struct PagerOutcome {
    std::size_t number = 0;           // the pager's turn, from 1
    std::optional<std::size_t> unit;  // the roster unit it is, or the nearest one when it differs
    std::string outcome;              // "as planned", "differs", "not in this roster", "not read", "read", "not kept"
    std::vector<FieldMismatch> fields;  // where it differs from the nearest unit
    std::string line;                 // "P-02 (nearest): call1.tone2: planned 600.9, pager 569.1"
};

// What the technician sees and answers while pagers are read one after another.
class FleetReadFrontEnd {
public:
    virtual ~FleetReadFrontEnd() = default;
    // Where each Read shows its status and progress; its message box is kept for the pager's line.
    virtual DeviceOperationView& DeviceView() = 0;
    // Before each pager, unless the reader waits for the pagers by itself: seat pager `number` and go
    // on (true), or stop (false).
    virtual bool AskToSeat(std::size_t number) = 0;
    // While waiting for pager `number`: why the pager behind the board is not taken yet.
    virtual void ShowWaiting(std::size_t number, std::string_view why) = 0;
    // A pager is done: `outcome` says what it turned out to be.
    virtual void ShowPagerDone(const PagerOutcome& outcome) = 0;
    // Something the technician must know that is no pager's line (a roster row that would not give
    // its image back, a file not saved).
    virtual void ShowProblem(const std::string& text) = 0;
    // True once the technician asked to stop: the round ends between pagers, never inside a Read.
    virtual bool StopRequested() = 0;
};

struct PagerRoundOptions {
    std::string port;
    // Instead of asking, wait until a pager is behind the board that was not read last.
    bool waitForPagers = false;
};

// roster verify: the log (optional) gets a line per pager: time, port, unit, outcome, the differing
// keys, and the identity of what the pager holds (its firmware bytes left out), as the write log
// names the image sent.
inline const std::vector<std::string> kVerifyLogHeader{"time",     "port",       "unit",
                                                       "outcome", "differences", "image"};

struct FleetVerifySummary {
    std::size_t pagers = 0;
    std::size_t asPlanned = 0;
    std::vector<std::string> notSeen;  // the units no pager turned out to be
    // The log cannot be used: no pager was read.
    std::optional<std::string> setupError;
    bool logFailed = false;  // a line could not be appended: the round stopped there

    bool AllAsPlanned() const { return !setupError && !logFailed && pagers > 0 && asPlanned == pagers; }
};

// "3 pagers read, 1 as planned; not seen: P-03"
std::string SummaryText(const FleetVerifySummary& summary);

// Reads pager after pager until every unit was seen or the technician stops, telling each against the
// units; `log`, when not empty, must be a verify log or none yet.
FleetVerifySummary VerifyFleet(const std::vector<UnitImage>& units, const PagerRoundOptions& options,
                               const std::filesystem::path& log, CommPort& port, FleetReadFrontEnd& frontEnd);

struct FleetReadOptions {
    PagerRoundOptions round;
    std::filesystem::path out;     // the folder of the table files, made when missing
    std::filesystem::path roster;  // the roster of the pagers read, written once; empty: none
    // The base whose values the roster's cells leave empty; none: the image `default` writes.
    std::optional<EditorSession> base;
    // A plan whose units name the pagers that match them exactly; the round ends once all are read.
    std::vector<UnitImage> plan;
    std::size_t count = 0;  // stop after this many pagers; 0: no limit
};

struct FleetReadSummary {
    std::size_t kept = 0;
    bool failed = false;  // a pager not read or not kept, or a roster row that would not program it again
    // The folder or the roster cannot be used: no pager was read.
    std::optional<std::string> setupError;

    bool AllKept() const { return !setupError && !failed && kept > 0; }
};

// "3 pagers kept in DIR"
std::string SummaryText(const FleetReadSummary& summary, const std::filesystem::path& out);

// Reads pager after pager into table files in `options.out`, never over a file, and writes the roster.
FleetReadSummary ReadFleet(const FleetReadOptions& options, CommPort& port, FleetReadFrontEnd& frontEnd);

}  // namespace zr

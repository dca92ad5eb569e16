// The fleet log: a CSV line for every unit a run touched, appended durably before the next pager is
// touched. A resume trusts it, so a unit counts as written only with the very image it was written
// with, told by the image's identity, never by its 16-bit sum.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "pager_image.h"
#include "roster.h"

namespace zr {

// The log's columns, its first line.
// "pieces" is how many of the image's 32 pieces the pager acknowledged (empty when none);
// "image" is the identity of the image sent (empty when none was).
inline const std::vector<std::string> kFleetLogHeader{"time",    "unit",    "port",     "firmware", "outcome",
                                                      "message", "checksum", "pieces", "image"};
// The first line of logs written before the image column: their units are written again.
inline const std::vector<std::string> kOldFleetLogHeader{"time",    "unit",    "port",     "firmware",
                                                         "outcome", "message", "checksum", "pieces"};
inline constexpr std::string_view kWrittenOutcome = "written";
inline constexpr std::string_view kFailedOutcome = "failed";
inline constexpr std::string_view kSkippedOutcome = "skipped";
inline constexpr std::string_view kNoPagerOutcome = "no pager answered";

// The image exactly as a Write sends it: repaired and sealed.
PagerImage SentImage(PagerImage image);

// The checksum (four hex digits) a Write of this image sends.
std::string SentChecksum(const PagerImage& image);

struct LoggedWrite {
    std::string unit;
    std::string time;
    std::string identity;
};

struct FleetLog {
    // Each unit whose last line says written, with that line.
    std::map<std::string, LoggedWrite> written;
    // Each image identity ever logged as written, with the last unit written with it: the unit whose
    // pager holds that image.
    std::map<std::string, LoggedWrite> byImage;
    // The log has no image column: no unit in it is known written with today's image.
    bool oldForm = false;

    // Records a unit written now, with the checksum word its image carries (nothing when unknown).
    void Add(const LoggedWrite& write, std::optional<std::uint16_t> checksum);
    // False when no image the log records as written carries this checksum word: a pager whose two
    // checksum bytes say so holds none of them, and its whole memory need not be read.
    bool MayHold(std::uint16_t checksum) const {
        return !allChecksumsKnown_ || writtenChecksums_.contains(checksum);
    }
    // Records a unit whose Write failed: it counts as not written.
    void Forget(const std::string& unit) { written.erase(unit); }

private:
    std::set<std::uint16_t> writtenChecksums_;
    bool allChecksumsKnown_ = true;
};

// Reads the log; one that does not exist yet records nothing, one that is no fleet log is an error.
std::variant<FleetLog, TableError> ReadFleetLog(const std::filesystem::path& log);

// Gives a log of the old form the image column (empty on its lines), replacing it whole.
// Returns the reason when it could not.
std::optional<std::string> UpgradeFleetLog(const std::filesystem::path& log);

// Appends one line and makes sure it is on the disk before the next pager is touched.
bool AppendLogLine(const std::filesystem::path& log, const std::vector<std::string>& cells);

// A new log gets its header before any pager is touched.
bool StartLog(const std::filesystem::path& log);

}  // namespace zr

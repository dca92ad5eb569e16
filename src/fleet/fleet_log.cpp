#include "fleet_log.h"

#include <charconv>

#include "file_system.h"
#include "image_identity.h"
#include "number_text.h"
#include "safe_save.h"
#include "squelch_levels.h"
#include "table_files.h"

namespace zr {

namespace {

constexpr std::size_t kUnitCell = 1, kTimeCell = 0, kOutcomeCell = 4, kChecksumCell = 6, kImageCell = 8;

// The checksum cell as SentChecksum writes it, four hex digits; nothing for any other text.
std::optional<std::uint16_t> ChecksumOfCell(std::string_view cell) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), value, 16);
    if (cell.size() != 4 || error != std::errc() || end != cell.data() + cell.size()) return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

}  // namespace

PagerImage SentImage(PagerImage image) {
    PrepareImageForWrite(image, BuiltInSquelchLevelTable());
    return image;
}

std::string SentChecksum(const PagerImage& image) {
    return FormatHex(GetWord16(SentImage(image), kChecksumOffset), 4);
}

void FleetLog::Add(const LoggedWrite& write, std::optional<std::uint16_t> checksum) {
    written[write.unit] = write;
    byImage[write.identity] = write;
    if (checksum)
        writtenChecksums_.insert(*checksum);
    else
        allChecksumsKnown_ = false;
}

std::variant<FleetLog, TableError> ReadFleetLog(const std::filesystem::path& log) {
    FleetLog read;
    std::error_code error;
    if (!std::filesystem::exists(log, error) || std::filesystem::file_size(log, error) == 0) return read;
    const auto text = ReadTextFile(log);
    if (const auto* failure = std::get_if<TableError>(&text)) return *failure;
    const auto rows = ParseCsv(std::get<std::string>(text));
    if (const auto* failure = std::get_if<TableError>(&rows)) return *failure;
    const auto& lines = std::get<std::vector<CsvRow>>(rows);
    if (lines.empty() || (lines.front().cells != kFleetLogHeader && lines.front().cells != kOldFleetLogHeader))
        return TableError{1, 0, "not a fleet log: its first line is not " + CsvLine(kFleetLogHeader)};
    read.oldForm = lines.front().cells == kOldFleetLogHeader;
    const std::size_t columns = lines.front().cells.size();
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto& cells = lines[i].cells;
        if (cells.size() == 1 && cells[0].empty()) continue;
        if (cells.size() != columns)
            return TableError{lines[i].line, 0, "the line has " + std::to_string(cells.size()) + " cells, the log " +
                                                    std::to_string(columns)};
        // A later line of the same unit replaces an earlier one: a unit written again since counts
        // with its newest image, one that failed since counts as not written.
        if (read.oldForm) continue;
        if (cells[kOutcomeCell] == kWrittenOutcome && !cells[kImageCell].empty())
            read.Add({cells[kUnitCell], cells[kTimeCell], cells[kImageCell]}, ChecksumOfCell(cells[kChecksumCell]));
        else if (cells[kOutcomeCell] == kFailedOutcome || cells[kOutcomeCell] == kNoPagerOutcome)
            read.Forget(cells[kUnitCell]);
    }
    return read;
}

std::optional<std::string> UpgradeFleetLog(const std::filesystem::path& log) {
    const auto text = ReadTextFile(log);
    if (const auto* failure = std::get_if<TableError>(&text)) return failure->text;
    const auto rows = ParseCsv(std::get<std::string>(text));
    if (const auto* failure = std::get_if<TableError>(&rows)) return failure->text;
    std::string upgraded = CsvLine(kFleetLogHeader) + "\r\n";
    const auto& lines = std::get<std::vector<CsvRow>>(rows);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        auto cells = lines[i].cells;
        if (cells.size() == 1 && cells[0].empty()) continue;
        cells.emplace_back();
        upgraded += CsvLine(cells) + "\r\n";
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(upgraded.data());
    if (const auto failure = files::SaveFileSafely(log, {bytes, upgraded.size()}, files::Backup::None))
        return *failure;
    return std::nullopt;
}

bool AppendLogLine(const std::filesystem::path& log, const std::vector<std::string>& cells) {
    return !files::AppendDurably(log, CsvLine(cells) + "\r\n");
}

bool StartLog(const std::filesystem::path& log) {
    std::error_code error;
    if (std::filesystem::exists(log, error) && std::filesystem::file_size(log, error) > 0) return true;
    return AppendLogLine(log, kFleetLogHeader);
}

}  // namespace zr

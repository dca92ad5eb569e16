// Table files: one pager image each, exactly its 256 bytes with no header. A technician prepares a
// configuration once and writes it into many pagers, so a file is never left half-written.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "message.h"
#include "pager_image.h"
#include "squelch_levels.h"

namespace zr {

inline constexpr std::string_view kDefaultTableName = "default.tbl";
inline constexpr std::string_view kTableFileFilter = "Table files (*.tbl)";
inline constexpr std::string_view kTableFileExtension = "tbl";

Message OpenErrorMessage();
Message SaveErrorMessage();
Message DefaultTableQuestion();
Message DefaultTableOpenErrorMessage();
Message ForeignDefaultTableMessage();

struct OpenResult {
    std::optional<Message> error;  // set when the file could not be read; the image is then unchanged
    std::size_t bytesRead = 0;     // a shorter file replaces only this many leading bytes
};

// Open: up to 256 bytes of the file over the leading bytes of the image, then the squelch repair.
// No tag or checksum test is made.
OpenResult OpenTableFile(const std::filesystem::path& path, PagerImage& image, const SquelchLevelTable& levels);

// Open's steps over bytes that arrive otherwise than from a file (standard input); gives how many
// leading bytes of the image they replaced.
std::size_t OpenTableData(std::span<const std::uint8_t> data, PagerImage& image, const SquelchLevelTable& levels);

// Save asks before it writes to the bare name "default.tbl", which every start loads.
bool SaveNeedsDefaultTableQuestion(std::string_view saveTarget);

// A save that was refused or failed: the box to show, and the system's reason for a terminal.
struct SaveFailure {
    Message message;
    std::string reason;
};

// Both saves write through a symbolic link into the file it points to, keep that file's permissions
// (and its owner and group where the program may), replace it in one step so that it holds the
// whole old or the whole new content at every instant, and refuse, touching nothing, a target that
// is not a regular file or that the user may not write.

// Save: backs an existing file up beside it as its base name plus ".BAK" (an existing backup is kept),
// then replaces the file with the image's 256 bytes.
std::optional<SaveFailure> SaveTableFile(const std::filesystem::path& path, const PagerImage& image);

// Save As: the image's 256 bytes replace the file; no backup.
std::optional<SaveFailure> SaveTableFileAs(const std::filesystem::path& path, const PagerImage& image);

// Third status panel after Save As: "File Name:" and the path, relative to the start directory when
// the file lies in it or below it ("File Name:sub/site1.tbl"), else the whole path.
std::string SaveAsStatusText(const std::filesystem::path& path, const std::filesystem::path& startDirectory);

// The folder the Save As dialog opens in: the current save target's, so that a technician saving a
// series of tables into one folder stays there; the start directory for the bare default name or
// when that folder is gone.
std::filesystem::path SaveAsFolder(const std::filesystem::path& saveTarget, const std::filesystem::path& startDirectory);

enum class DefaultTableOutcome { Missing, Loaded, Refused };
struct DefaultTableResult {
    DefaultTableOutcome outcome = DefaultTableOutcome::Missing;
    std::optional<Message> message;  // set when refused
};

// The default table of the start directory replaces the image when it carries this model's tag.
// No squelch repair and no checksum test.
DefaultTableResult LoadDefaultTable(const std::filesystem::path& startDirectory, PagerImage& image);

// Reads up to 256 bytes of a file into `buffer`; nothing when the file cannot be read.
std::optional<std::size_t> ReadTableBytes(const std::filesystem::path& path, PagerImage& buffer);

}  // namespace zr

// A save that never harms what its path points at: the new bytes go to a temporary file beside the
// target and replace it in one step, so the target holds the whole old file or the whole new one at
// every instant; a symbolic link is written through; anything but a regular file the user may
// write is refused before anything is touched.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "file_system.h"

namespace zr::files {

enum class Backup { None, KeepOnce };

// Replaces the file `path` names with `bytes`. With Backup::KeepOnce the previous content is first
// kept beside it as its base name plus ".BAK", whole or not at all, unless such a backup exists.
// Returns the system's reason when the save was refused or failed; the target is then untouched.
Failure SaveFileSafely(const std::filesystem::path& path, std::span<const std::uint8_t> bytes, Backup backup);

// Whether the file `path` names may be appended to, judged as a save judges its target: a symbolic
// link is followed; a new file needs a folder the user may write, an existing one must be a regular
// file the user may write. Returns the reason for a refusal.
Failure CheckAppendTarget(const std::filesystem::path& path);

// Where the backup of `target` goes: beside it, its base name plus ".BAK".
std::filesystem::path BackupPathFor(const std::filesystem::path& target);

}  // namespace zr::files

// The few operating system calls a safe save needs, each small and on its own: the POSIX variant in
// posix_file_system.cpp, the Win32 one in windows_file_system.cpp. Every call reports a failure as
// the system words it (strerror, FormatMessage), never by throwing.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zr::files {

// A failed call: the system's reason. Empty on success.
using Failure = std::optional<std::string>;

// What stands at a path, looked at without following a final symbolic link.
struct PathFacts {
    enum class Kind { Missing, RegularFile, SymbolicLink, Directory, Other } kind = Kind::Missing;
    std::string kindName;  // "a character device", "a FIFO", ... for the message of a refusal
    unsigned permissions = 0;  // the permission bits of an existing file
    long long owner = -1;
    long long group = -1;
};

// Looks at `path`; a path that does not exist is Kind::Missing, not a failure.
Failure InspectPath(const std::filesystem::path& path, PathFacts& facts);

// The text of a symbolic link.
Failure ReadSymbolicLink(const std::filesystem::path& link, std::filesystem::path& target);

// Whether the person running the program may write `path` (a file or a folder) by its permission
// bits, judged by their own rights even when they are the administrator, who could otherwise write
// anything: a file or folder made read-only stays read-only for everyone.
Failure CheckUserMayWrite(const std::filesystem::path& path);

// A new file created beside a target, under a short name of this program; removed again unless
// Commit moved it into place.
class TemporaryFile {
public:
    TemporaryFile() = default;
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // Creates the file in `folder`, with the permissions a new file of the user gets.
    Failure Create(const std::filesystem::path& folder);
    Failure Write(std::span<const std::uint8_t> bytes);
    // Gives the file an existing file's permission bits, and its owner and group where the
    // program may (a failure to hand a file over is not one to report).
    Failure TakeAttributesOf(const PathFacts& facts);
    // Puts every byte on the disk and closes the file.
    Failure FlushAndClose();
    // Moves the closed file to `target` in one step, replacing what is there.
    Failure ReplaceInOneStep(const std::filesystem::path& target);
    // Moves the closed file to `target` in one step, only when nothing is there yet.
    Failure PlaceIfAbsent(const std::filesystem::path& target);

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    int descriptor_ = -1;
    bool placed_ = false;
};

// Appends `text` to the file, creating it when missing, and puts it on the disk before returning:
// for a record such as a log, which a later run trusts line by line.
Failure AppendDurably(const std::filesystem::path& path, std::string_view text);

// The name prefix of this program's temporary files, and whether such a file beside a target is
// left over from a save that was interrupted (its process has ended).
bool IsStaleTemporaryName(const std::string& fileName);

// Makes the renames done in `folder` last across a power failure; best effort.
void FlushFolder(const std::filesystem::path& folder);

// Removes a file; best effort.
void RemoveFile(const std::filesystem::path& path);

}  // namespace zr::files

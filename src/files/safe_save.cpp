#include "safe_save.h"

#include <array>
#include <fstream>
#include <system_error>
#include <vector>

namespace zr::files {

namespace {

using Kind = PathFacts::Kind;

std::string ReasonOf(std::errc error) { return std::make_error_code(error).message(); }

std::filesystem::path FolderOf(const std::filesystem::path& file) {
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

// Follows a chain of symbolic links to the path it ends at, which may not exist yet (a link to a
// file still to be made); `facts` then describe what stands there.
Failure FollowLinks(const std::filesystem::path& path, std::filesystem::path& target, PathFacts& facts) {
    constexpr int kMostLinks = 40;  // as many as the system itself follows
    target = path;
    for (int hop = 0; hop <= kMostLinks; ++hop) {
        if (auto failure = InspectPath(target, facts)) return failure;
        if (facts.kind != Kind::SymbolicLink) return std::nullopt;
        std::filesystem::path next;
        if (auto failure = ReadSymbolicLink(target, next)) return failure;
        target = next.is_absolute() ? next : FolderOf(target) / next;
    }
    return ReasonOf(std::errc::too_many_symbolic_link_levels);
}

// Only a regular file, or none yet, is ever written.
Failure CheckKind(const PathFacts& facts) {
    if (facts.kind == Kind::Directory) return ReasonOf(std::errc::is_a_directory);
    if (facts.kind == Kind::Other) return "not a regular file (" + facts.kindName + ")";
    return std::nullopt;
}

// A target may be a new file or a regular file the user may write, in a folder they may write.
Failure CheckTarget(const std::filesystem::path& target, const PathFacts& facts) {
    if (auto failure = CheckKind(facts)) return failure;
    if (facts.kind == Kind::RegularFile)
        if (auto failure = CheckUserMayWrite(target)) return failure;
    return CheckUserMayWrite(FolderOf(target));
}

// Temporary files of saves that were interrupted, left beside the target.
void RemoveStaleTemporaries(const std::filesystem::path& folder) {
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error))
        if (IsStaleTemporaryName(entry->path().filename().string())) RemoveFile(entry->path());
}

// Copies the file's content into `copy`.
Failure CopyContent(const std::filesystem::path& file, TemporaryFile& copy) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return ReasonOf(std::errc::io_error);
    std::array<char, 65536> buffer{};
    while (in.read(buffer.data(), buffer.size()) || in.gcount() > 0) {
        const auto* data = reinterpret_cast<const std::uint8_t*>(buffer.data());
        if (auto failure = copy.Write({data, static_cast<std::size_t>(in.gcount())})) return failure;
    }
    if (in.bad()) return ReasonOf(std::errc::io_error);
    return std::nullopt;
}

// The previous version, kept once: made in full under a temporary name and only then given the
// backup name, which an existing backup keeps. A backup that cannot be made is no reason to refuse
// the save.
void KeepBackupOnce(const std::filesystem::path& target, const PathFacts& facts) {
    const auto backup = BackupPathFor(target);
    PathFacts existing;
    if (InspectPath(backup, existing) || existing.kind != Kind::Missing) return;
    TemporaryFile copy;
    if (copy.Create(FolderOf(target)) || CopyContent(target, copy) || copy.TakeAttributesOf(facts) ||
        copy.FlushAndClose())
        return;
    (void)copy.PlaceIfAbsent(backup);
}

Failure ReplaceTarget(const std::filesystem::path& target, const PathFacts& facts,
                      std::span<const std::uint8_t> bytes) {
    TemporaryFile file;
    if (auto failure = file.Create(FolderOf(target))) return failure;
    if (auto failure = file.Write(bytes)) return failure;
    if (facts.kind == Kind::RegularFile)
        if (auto failure = file.TakeAttributesOf(facts)) return failure;
    if (auto failure = file.FlushAndClose()) return failure;
    if (auto failure = file.ReplaceInOneStep(target)) return failure;
    FlushFolder(FolderOf(target));
    return std::nullopt;
}

}  // namespace

std::filesystem::path BackupPathFor(const std::filesystem::path& target) {
    std::filesystem::path backup = target.parent_path() / target.stem();
    backup += ".BAK";
    return backup;
}

Failure CheckAppendTarget(const std::filesystem::path& path) {
    std::filesystem::path target;
    PathFacts facts;
    if (auto failure = FollowLinks(path, target, facts)) return failure;
    if (auto failure = CheckKind(facts)) return failure;
    return CheckUserMayWrite(facts.kind == Kind::RegularFile ? target : FolderOf(target));
}

Failure SaveFileSafely(const std::filesystem::path& path, std::span<const std::uint8_t> bytes, Backup backup) {
    std::filesystem::path target;
    PathFacts facts;
    if (auto failure = FollowLinks(path, target, facts)) return failure;
    if (auto failure = CheckTarget(target, facts)) return failure;
    RemoveStaleTemporaries(FolderOf(target));
    if (backup == Backup::KeepOnce && facts.kind == Kind::RegularFile) KeepBackupOnce(target, facts);
    return ReplaceTarget(target, facts, bytes);
}

}  // namespace zr::files

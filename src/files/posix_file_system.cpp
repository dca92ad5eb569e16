// The POSIX calls behind a safe save.
#include "file_system.h"

#include "temporary_name.h"

#include <cerrno>
#include <climits>
#include <limits>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zr::files {

namespace {

std::string SystemReason(int error) { return std::strerror(error); }
Failure LastFailure() { return SystemReason(errno); }

std::string KindName(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISLNK(mode)) return "a symbolic link";
    return "a regular file";
}

PathFacts::Kind KindOf(mode_t mode) {
    if (S_ISREG(mode)) return PathFacts::Kind::RegularFile;
    if (S_ISLNK(mode)) return PathFacts::Kind::SymbolicLink;
    if (S_ISDIR(mode)) return PathFacts::Kind::Directory;
    return PathFacts::Kind::Other;
}

bool UserIsInGroup(gid_t group) {
    if (group == ::getegid()) return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0) return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int filled = ::getgroups(count, groups.data());
    for (int i = 0; i < filled; ++i)
        if (groups[static_cast<std::size_t>(i)] == group) return true;
    return false;
}

// The write bit of the class the user falls in: owner, group or others.
bool PermissionBitsAllowWriting(const struct stat& status) {
    if (status.st_uid == ::geteuid()) return (status.st_mode & S_IWUSR) != 0;
    if (UserIsInGroup(status.st_gid)) return (status.st_mode & S_IWGRP) != 0;
    return (status.st_mode & S_IWOTH) != 0;
}

}  // namespace

Failure InspectPath(const std::filesystem::path& path, PathFacts& facts) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        if (errno != ENOENT) return LastFailure();
        facts = PathFacts{};
        return std::nullopt;
    }
    facts.kind = KindOf(status.st_mode);
    facts.kindName = KindName(status.st_mode);
    facts.permissions = status.st_mode & 07777;
    facts.owner = status.st_uid;
    facts.group = status.st_gid;
    return std::nullopt;
}

Failure ReadSymbolicLink(const std::filesystem::path& link, std::filesystem::path& target) {
    std::vector<char> buffer(PATH_MAX + 1);
    const ssize_t length = ::readlink(link.c_str(), buffer.data(), buffer.size());
    if (length < 0) return LastFailure();
    if (static_cast<std::size_t>(length) >= buffer.size()) return SystemReason(ENAMETOOLONG);
    target.assign(std::string(buffer.data(), static_cast<std::size_t>(length)));
    return std::nullopt;
}

Failure CheckUserMayWrite(const std::filesystem::path& path) {
    // access() knows access control lists and read-only mounts, but lets the administrator write
    // anything; the permission bits then decide for them as for anyone else.
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) return LastFailure();
    if (::geteuid() != 0) return std::nullopt;
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return LastFailure();
    if (!PermissionBitsAllowWriting(status)) return SystemReason(EACCES);
    return std::nullopt;
}

Failure AppendDurably(const std::filesystem::path& path, std::string_view text) {
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (descriptor < 0) return LastFailure();
    Failure failure;
    while (!text.empty() && !failure) {
        const ssize_t n = ::write(descriptor, text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) failure = n < 0 ? LastFailure() : SystemReason(EIO);
        else text.remove_prefix(static_cast<std::size_t>(n));
    }
    if (!failure && ::fsync(descriptor) != 0) failure = LastFailure();
    if (::close(descriptor) != 0 && !failure) failure = LastFailure();
    return failure;
}

TemporaryFile::~TemporaryFile() {
    if (descriptor_ >= 0) ::close(descriptor_);
    if (!path_.empty() && !placed_) ::unlink(path_.c_str());
}

Failure TemporaryFile::Create(const std::filesystem::path& folder) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = folder / TemporaryFileName(static_cast<unsigned long>(::getpid()));
        // 0666 under the user's umask: the permissions any new file of theirs gets.
        descriptor_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor_ >= 0) {
            path_ = std::move(candidate);
            return std::nullopt;
        }
        if (errno != EEXIST) return LastFailure();
    }
    return SystemReason(EEXIST);
}

Failure TemporaryFile::Write(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(descriptor_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return LastFailure();
        if (n == 0) return SystemReason(EIO);
        bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return std::nullopt;
}

Failure TemporaryFile::TakeAttributesOf(const PathFacts& facts) {
    // Owner first: handing a file over clears its set-id bits, which the mode then restores. A user
    // who may hand over neither keeps the file as their own, as any new file of theirs.
    [[maybe_unused]] const bool handedOver =
        ::fchown(descriptor_, static_cast<uid_t>(facts.owner), static_cast<gid_t>(facts.group)) == 0 ||
        ::fchown(descriptor_, static_cast<uid_t>(-1), static_cast<gid_t>(facts.group)) == 0;
    if (::fchmod(descriptor_, static_cast<mode_t>(facts.permissions)) != 0) return LastFailure();
    return std::nullopt;
}

Failure TemporaryFile::FlushAndClose() {
    const bool flushed = ::fsync(descriptor_) == 0;
    const int flushError = errno;
    const bool closed = ::close(descriptor_) == 0;
    descriptor_ = -1;
    if (!flushed) return SystemReason(flushError);
    if (!closed) return LastFailure();
    return std::nullopt;
}

Failure TemporaryFile::ReplaceInOneStep(const std::filesystem::path& target) {
    if (::rename(path_.c_str(), target.c_str()) != 0) return LastFailure();
    placed_ = true;
    return std::nullopt;
}

Failure TemporaryFile::PlaceIfAbsent(const std::filesystem::path& target) {
    // A hard link is made whole or not at all and never replaces a file; the temporary name then goes.
    if (::link(path_.c_str(), target.c_str()) == 0) return std::nullopt;
    if (errno == EEXIST) return LastFailure();
    // File systems without hard links (a FAT memory stick): a rename after looking first.
    struct stat status {};
    if (::lstat(target.c_str(), &status) == 0) return SystemReason(EEXIST);
    return ReplaceInOneStep(target);
}

bool IsStaleTemporaryName(const std::string& fileName) {
    const auto process = TemporaryFileProcess(fileName);
    if (!process || *process > static_cast<unsigned long>(std::numeric_limits<pid_t>::max())) return false;
    const auto pid = static_cast<pid_t>(*process);
    return pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH;
}

void FlushFolder(const std::filesystem::path& folder) {
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    (void)::fsync(descriptor);
    ::close(descriptor);
}

void RemoveFile(const std::filesystem::path& path) { ::unlink(path.c_str()); }

}  // namespace zr::files

// The Win32 calls behind a safe save. Names are wide throughout, so every path the file dialogs can
// give is reached. Where Windows differs from POSIX:
// - symbolic links and junctions are followed to the final path the system itself resolves;
// - permissions are the folder's inherited access rules, which a new file gets by itself: there are
//   no mode bits, owner or group to copy, and a read-only target is refused before;
// - the user's right to write is judged by the read-only attribute of a file; a folder's read-only
//   attribute means nothing to Windows, and access rules are left to the system's own refusal;
// - a move with MOVEFILE_WRITE_THROUGH reaches the disk before it returns, so there is no folder to
//   flush.
#include "file_system.h"

#include "temporary_name.h"


#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

namespace zr::files {

namespace {

// The system's wording of an error, in UTF-8, without the closing period and line break.
std::string SystemReason(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring wide = length > 0 ? std::wstring(text, length) : L"error " + std::to_wstring(error);
    LocalFree(text);
    while (!wide.empty() && (wide.back() == L'\r' || wide.back() == L'\n' || wide.back() == L'.' || wide.back() == L' '))
        wide.pop_back();
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string reason(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), reason.data(), size, nullptr, nullptr);
    return reason;
}
Failure LastFailure() { return SystemReason(GetLastError()); }

// The system's own error behind a failed _wopen, _write, _commit or _close of the C runtime.
Failure RuntimeFailure() { return SystemReason(_doserrno != 0 ? static_cast<DWORD>(_doserrno) : ERROR_WRITE_FAULT); }

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

bool ProcessHasEnded(DWORD process) {
    HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
    if (handle == nullptr) return GetLastError() == ERROR_INVALID_PARAMETER;  // no such process
    DWORD exitCode = 0;
    const bool ended = GetExitCodeProcess(handle, &exitCode) && exitCode != STILL_ACTIVE;
    CloseHandle(handle);
    return ended;
}

}  // namespace

Failure InspectPath(const std::filesystem::path& path, PathFacts& facts) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        const DWORD error = GetLastError();
        if (!IsMissing(error)) return SystemReason(error);
        facts = PathFacts{};
        return std::nullopt;
    }
    facts = PathFacts{};
    const DWORD attributes = data.dwFileAttributes;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        facts.kind = PathFacts::Kind::SymbolicLink;
        facts.kindName = "a symbolic link";
    } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        facts.kind = PathFacts::Kind::Directory;
        facts.kindName = "a folder";
    } else if (attributes & FILE_ATTRIBUTE_DEVICE) {
        facts.kind = PathFacts::Kind::Other;
        facts.kindName = "a device";
    } else {
        facts.kind = PathFacts::Kind::RegularFile;
        facts.kindName = "a regular file";
    }
    return std::nullopt;
}

Failure ReadSymbolicLink(const std::filesystem::path& link, std::filesystem::path& target) {
    // The final path the system resolves the whole chain to: an absolute path that is no link.
    HANDLE handle = CreateFileW(link.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastFailure();
    std::wstring final(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(handle, final.data(), static_cast<DWORD>(final.size()), 0);
    if (length >= final.size()) {
        final.resize(length);
        length = GetFinalPathNameByHandleW(handle, final.data(), static_cast<DWORD>(final.size()), 0);
    }
    const DWORD error = GetLastError();
    CloseHandle(handle);
    if (length == 0 || length >= final.size()) return SystemReason(error);
    final.resize(length);
    target = final;
    return std::nullopt;
}

Failure CheckUserMayWrite(const std::filesystem::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return LastFailure();
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) && (attributes & FILE_ATTRIBUTE_READONLY))
        return SystemReason(ERROR_ACCESS_DENIED);
    return std::nullopt;
}

Failure AppendDurably(const std::filesystem::path& path, std::string_view text) {
    const int descriptor = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_APPEND | _O_BINARY | _O_NOINHERIT,
                                  _S_IREAD | _S_IWRITE);
    if (descriptor < 0) return RuntimeFailure();
    Failure failure;
    while (!text.empty() && !failure) {
        const int n = _write(descriptor, text.data(), static_cast<unsigned>(text.size()));
        if (n <= 0) failure = n < 0 ? RuntimeFailure() : SystemReason(ERROR_WRITE_FAULT);
        else text.remove_prefix(static_cast<std::size_t>(n));
    }
    if (!failure && _commit(descriptor) != 0) failure = RuntimeFailure();
    if (_close(descriptor) != 0 && !failure) failure = RuntimeFailure();
    return failure;
}

TemporaryFile::~TemporaryFile() {
    if (descriptor_ >= 0) _close(descriptor_);
    if (!path_.empty() && !placed_) DeleteFileW(path_.c_str());
}

Failure TemporaryFile::Create(const std::filesystem::path& folder) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = folder / TemporaryFileName(GetCurrentProcessId());
        descriptor_ = _wopen(candidate.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                             _S_IREAD | _S_IWRITE);
        if (descriptor_ >= 0) {
            path_ = std::move(candidate);
            return std::nullopt;
        }
        if (errno != EEXIST) return RuntimeFailure();
    }
    return SystemReason(ERROR_FILE_EXISTS);
}

Failure TemporaryFile::Write(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const int n = _write(descriptor_, bytes.data(), static_cast<unsigned>(bytes.size()));
        if (n < 0) return RuntimeFailure();
        if (n == 0) return SystemReason(ERROR_WRITE_FAULT);
        bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return std::nullopt;
}

Failure TemporaryFile::TakeAttributesOf(const PathFacts&) {
    // The new file already has the folder's inherited access rules, as the old one had; a read-only
    // target was refused before, so there is no attribute to carry over.
    return std::nullopt;
}

Failure TemporaryFile::FlushAndClose() {
    // _commit is FlushFileBuffers on the file's handle.
    const bool flushed = _commit(descriptor_) == 0;
    const Failure flushFailure = flushed ? std::nullopt : RuntimeFailure();
    const bool closed = _close(descriptor_) == 0;
    descriptor_ = -1;
    if (!flushed) return flushFailure;
    if (!closed) return RuntimeFailure();
    return std::nullopt;
}

Failure TemporaryFile::ReplaceInOneStep(const std::filesystem::path& target) {
    if (!MoveFileExW(path_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return LastFailure();
    placed_ = true;
    return std::nullopt;
}

Failure TemporaryFile::PlaceIfAbsent(const std::filesystem::path& target) {
    // Without MOVEFILE_REPLACE_EXISTING the move fails when anything is there already.
    if (!MoveFileExW(path_.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) return LastFailure();
    placed_ = true;
    return std::nullopt;
}

bool IsStaleTemporaryName(const std::string& fileName) {
    const auto process = TemporaryFileProcess(fileName);
    if (!process || *process > MAXDWORD) return false;
    return *process != GetCurrentProcessId() && ProcessHasEnded(static_cast<DWORD>(*process));
}

void FlushFolder(const std::filesystem::path&) {}

void RemoveFile(const std::filesystem::path& path) { DeleteFileW(path.c_str()); }

}  // namespace zr::files

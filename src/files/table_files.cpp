#include "table_files.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace zr {

namespace {

#ifdef _WIN32
// Writes the 256 bytes to a new file beside the target and moves it over the target only once every
// byte is on disk, so a failed save never damages the previous file. Wide names reach every path the
// file dialogs can give.
bool ReplaceFileAtomically(const std::filesystem::path& path, const PagerImage& image) {
    static unsigned counter = 0;
    std::filesystem::path temporary = path;
    temporary += ".~" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool complete = WriteFile(file, image.bytes.data(), static_cast<DWORD>(kImageSize), &written, nullptr) &&
                          written == kImageSize && FlushFileBuffers(file);
    const bool closed = CloseHandle(file);
    if (!complete || !closed ||
        !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return false;
    }
    return true;
}

std::FILE* OpenForReading(const std::filesystem::path& path) { return _wfopen(path.c_str(), L"rb"); }
#else
// Writes the 256 bytes to a new file beside the target and renames it into place only once every
// byte is on disk, so a failed save never damages the previous file.
bool ReplaceFileAtomically(const std::filesystem::path& path, const PagerImage& image) {
    static unsigned counter = 0;
    std::filesystem::path temporary = path;
    temporary += ".~" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    std::size_t written = 0;
    while (written < kImageSize) {
        const ssize_t n = ::write(fd, image.bytes.data() + written, kImageSize - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        written += static_cast<std::size_t>(n);
    }
    const bool complete = written == kImageSize && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!complete || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return false;
    }
    return true;
}

std::FILE* OpenForReading(const std::filesystem::path& path) { return std::fopen(path.c_str(), "rb"); }
#endif

// The previous version of a saved file, kept once: a backup that exists already is not replaced.
void BackUpBeforeSave(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return;
    std::filesystem::path backup = path.parent_path() / path.stem();
    backup += ".BAK";
    if (std::filesystem::exists(backup, error)) return;
    if (!std::filesystem::copy_file(path, backup, std::filesystem::copy_options::none, error))
        std::filesystem::remove(backup, error);  // no half-copied backup
}

}  // namespace

Message OpenErrorMessage() { return WarningMessage("Open Error!"); }
Message SaveErrorMessage() { return WarningMessage("Save Error!"); }
Message DefaultTableQuestion() {
    Message question = WarningMessage(
        "Click OK will save all changes to the default file.\n"
        "This will change all the default values and automatically loaded up by ZR250Pro programming software in the "
        "future.");
    question.buttons = MessageButtons::YesNo;
    return question;
}
Message DefaultTableOpenErrorMessage() { return WarningMessage("Open default.tbl error!"); }
Message ForeignDefaultTableMessage() { return PlainMessage("This default table is not ZR250Pro."); }

std::optional<std::size_t> ReadTableBytes(const std::filesystem::path& path, PagerImage& buffer) {
    std::FILE* file = OpenForReading(path);
    if (file == nullptr) return std::nullopt;
    std::array<std::uint8_t, kImageSize> data{};
    const std::size_t count = std::fread(data.data(), 1, data.size(), file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return std::nullopt;
    return OverlayImageBytes(buffer, std::span(data.data(), count));
}

OpenResult OpenTableFile(const std::filesystem::path& path, PagerImage& image, const SquelchLevelTable& levels) {
    PagerImage loaded = image;
    const auto count = ReadTableBytes(path, loaded);
    if (!count) return {OpenErrorMessage(), 0};
    RepairSquelchThresholds(loaded, levels);
    image = loaded;
    return {std::nullopt, *count};
}

bool SaveNeedsDefaultTableQuestion(std::string_view saveTarget) { return saveTarget == kDefaultTableName; }

std::optional<Message> SaveTableFile(const std::filesystem::path& path, const PagerImage& image) {
    BackUpBeforeSave(path);
    if (!ReplaceFileAtomically(path, image)) return SaveErrorMessage();
    return std::nullopt;
}

std::optional<Message> SaveTableFileAs(const std::filesystem::path& path, const PagerImage& image) {
    if (!ReplaceFileAtomically(path, image)) return SaveErrorMessage();
    return std::nullopt;
}

std::string SaveAsStatusText(const std::filesystem::path& path, const std::filesystem::path& startDirectory) {
    // "C:\work\" and "C:\work" (or "/work/" and "/work") name the same folder.
    const auto withoutTrailingSeparator = [](std::filesystem::path folder) {
        folder = folder.lexically_normal();
        return folder.has_filename() || folder == folder.root_path() ? folder : folder.parent_path();
    };
    const bool inStart = withoutTrailingSeparator(path.parent_path()) == withoutTrailingSeparator(startDirectory);
    const auto shown = (inStart ? path.filename() : path).u8string();  // UTF-8 on every system
    return "File Name:" + std::string(shown.begin(), shown.end());
}

DefaultTableResult LoadDefaultTable(const std::filesystem::path& startDirectory, PagerImage& image) {
    const auto path = startDirectory / kDefaultTableName;
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return {DefaultTableOutcome::Missing, std::nullopt};
    PagerImage buffer;  // zeroed, so a short file cannot pass the tag test with the old image's tag
    if (!ReadTableBytes(path, buffer)) return {DefaultTableOutcome::Refused, DefaultTableOpenErrorMessage()};
    if (!HasModelTag(buffer)) return {DefaultTableOutcome::Refused, ForeignDefaultTableMessage()};
    image = buffer;
    return {DefaultTableOutcome::Loaded, std::nullopt};
}

}  // namespace zr

#include "image_folder.h"

#include <system_error>

#include "file_system.h"

namespace zr {

std::optional<std::string> PrepareImageFolder(const std::filesystem::path& folder) {
    std::error_code error;
    const auto status = std::filesystem::status(folder, error);  // through a link, as a save goes
    if (std::filesystem::exists(status)) {
        if (!std::filesystem::is_directory(status)) return std::string("is not a folder");
    } else if (!std::filesystem::create_directories(folder, error) && error) {
        return "cannot be made a folder: " + error.message();
    }
    // The permission bits first (an administrator could write anyway), then a file made and removed
    // again, which also meets access lists, read-only mounts and full disks' inodes.
    if (const auto refused = files::CheckUserMayWrite(folder)) return "cannot be written: " + *refused;
    files::TemporaryFile probe;
    if (const auto failure = probe.Create(folder)) return "cannot be written: " + *failure;
    return std::nullopt;
}

}  // namespace zr

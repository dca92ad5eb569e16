// Small readings of device files and the user database, shared by the port diagnoses.
#pragma once

#include <filesystem>
#include <string>

namespace zr {

// The first line of a small text file (sysfs, /proc); empty when it cannot be read.
std::string FirstLineOf(const std::filesystem::path& path);

#ifndef _WIN32
// The name of a user or group; the number when it has no name.
std::string UserNameOf(unsigned uid);
std::string GroupNameOf(unsigned gid);
// A file's type and permission bits as ls shows them: "crw-rw----".
std::string ModeText(unsigned mode);
#endif

}  // namespace zr

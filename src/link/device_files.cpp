#include "device_files.h"

#include <fstream>

#ifndef _WIN32
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#endif

namespace zr {

std::string FirstLineOf(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

#ifndef _WIN32
std::string UserNameOf(unsigned uid) {
    if (const passwd* entry = getpwuid(uid)) return entry->pw_name;
    return std::to_string(uid);
}

std::string GroupNameOf(unsigned gid) {
    if (const group* entry = getgrgid(gid)) return entry->gr_name;
    return std::to_string(gid);
}

std::string ModeText(unsigned mode) {
    std::string text = S_ISCHR(mode) ? "c" : S_ISDIR(mode) ? "d" : "-";
    const char* letters = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit) text += (mode & (0400u >> bit)) ? letters[bit] : '-';
    return text;
}
#endif

}  // namespace zr

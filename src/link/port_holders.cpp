#include "port_holders.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <string_view>

#include "device_files.h"

#ifndef _WIN32
#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

namespace zr {

#ifndef _WIN32
namespace {

namespace fs = std::filesystem;

// The Unix98 pseudo-terminal slaves have the majors 136 to 143; the index counts across them.
constexpr unsigned kFirstPtyMajor = 136;
constexpr unsigned kLastPtyMajor = 143;

std::optional<int> PtyIndex(dev_t device) {
    const unsigned majorNumber = major(device);
    if (majorNumber < kFirstPtyMajor || majorNumber > kLastPtyMajor) return std::nullopt;
    return static_cast<int>((majorNumber - kFirstPtyMajor) * 256 + minor(device));
}

PortHolder HolderOf(int pid, const fs::path& processFolder) {
    struct stat info {};
    const std::string user = stat(processFolder.c_str(), &info) == 0 ? UserNameOf(info.st_uid) : std::string("?");
    return {pid, FirstLineOf(processFolder / "comm"), user};
}

// The names in a folder, without "." and "..".
std::vector<std::string> EntryNames(const fs::path& folder) {
    std::vector<std::string> names;
    DIR* directory = opendir(folder.c_str());
    if (!directory) return names;
    while (const dirent* entry = readdir(directory))
        if (entry->d_name[0] != '.') names.emplace_back(entry->d_name);
    closedir(directory);
    return names;
}

// The process numbers in /proc, this process left out.
std::vector<std::pair<int, fs::path>> OtherProcesses(const fs::path& procFolder) {
    std::vector<std::pair<int, fs::path>> processes;
    for (const auto& name : EntryNames(procFolder)) {
        if (!std::ranges::all_of(name, [](char c) { return c >= '0' && c <= '9'; })) continue;
        const int pid = std::stoi(name);
        if (pid != getpid()) processes.emplace_back(pid, procFolder / name);
    }
    return processes;
}

// What a descriptor link in /proc points at: the path the file was opened by, links resolved.
std::string LinkTarget(const fs::path& link) {
    char target[256];
    const ssize_t length = readlink(link.c_str(), target, sizeof target);
    return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string();
}

// Whether the descriptor is the master of pseudo-terminal `index`: its fdinfo names the index.
bool IsMasterOf(const fs::path& processFolder, const std::string& descriptor, int index) {
    std::ifstream info(processFolder / "fdinfo" / descriptor);
    for (std::string line; std::getline(info, line);)
        if (line.rfind("tty-index:", 0) == 0) return std::stoi(line.substr(10)) == index;
    return false;
}

}  // namespace

std::vector<PortHolder> OtherProcessesHolding(const fs::path& devicePath, const fs::path& procFolder) {
    struct stat device {};
    if (stat(devicePath.c_str(), &device) != 0 || !S_ISCHR(device.st_mode)) return {};
    std::error_code error;
    const std::string devicePathName = fs::canonical(devicePath, error).string();
    const std::optional<int> ptyIndex = PtyIndex(device.st_rdev);
    std::vector<PortHolder> holders;
    // A walk through every descriptor of every process: it compares names only, so that it stays
    // quick on a desktop with thousands of open files.
    for (const auto& [pid, folder] : OtherProcesses(procFolder)) {
        bool holds = false, isOtherEnd = false;
        for (const auto& descriptor : EntryNames(folder / "fd")) {
            const std::string target = LinkTarget(folder / "fd" / descriptor);
            if (target == devicePathName) holds = true;
            if (ptyIndex && (target == "/dev/ptmx" || target == "/dev/pts/ptmx") &&
                IsMasterOf(folder, descriptor, *ptyIndex))
                isOtherEnd = true;
        }
        if (holds && !isOtherEnd) holders.push_back(HolderOf(pid, folder));
    }
    return holders;
}

std::vector<PortHolder> ProcessesNamed(const std::vector<std::string>& commands, const fs::path& procFolder) {
    std::vector<PortHolder> found;
    for (const auto& [pid, folder] : OtherProcesses(procFolder)) {
        const std::string command = FirstLineOf(folder / "comm");
        if (std::ranges::find(commands, command) != commands.end()) found.push_back(HolderOf(pid, folder));
    }
    return found;
}

#else

std::vector<PortHolder> OtherProcessesHolding(const std::filesystem::path&, const std::filesystem::path&) {
    return {};
}
std::vector<PortHolder> ProcessesNamed(const std::vector<std::string>&, const std::filesystem::path&) { return {}; }

#endif

std::string DescribeHolder(const PortHolder& holder) {
    return holder.command + " (process " + std::to_string(holder.pid) + " of user " + holder.user + ")";
}

}  // namespace zr

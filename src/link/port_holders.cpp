#include "port_holders.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <string_view>

#include "device_files.h"

#ifndef _WIN32
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

// The process numbers in /proc, this process left out.
std::vector<std::pair<int, fs::path>> OtherProcesses(const fs::path& procFolder) {
    std::vector<std::pair<int, fs::path>> processes;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(procFolder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || !std::ranges::all_of(name, [](char c) { return c >= '0' && c <= '9'; })) continue;
        const int pid = std::stoi(name);
        if (pid != getpid()) processes.emplace_back(pid, entry.path());
    }
    return processes;
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
    const std::optional<int> ptyIndex = PtyIndex(device.st_rdev);
    std::vector<PortHolder> holders;
    for (const auto& [pid, folder] : OtherProcesses(procFolder)) {
        bool holds = false, isOtherEnd = false;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(folder / "fd", error)) {
            const fs::path target = fs::read_symlink(entry.path(), error);
            if (error || target.string().rfind("/dev/", 0) != 0) continue;
            const std::string descriptor = entry.path().filename().string();
            if (ptyIndex && target.filename() == "ptmx" && IsMasterOf(folder, descriptor, *ptyIndex)) isOtherEnd = true;
            struct stat opened {};
            if (stat(entry.path().c_str(), &opened) == 0 && S_ISCHR(opened.st_mode) && opened.st_rdev == device.st_rdev)
                holds = true;
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

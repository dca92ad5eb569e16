// Which other programs have a serial device open, found through their descriptors in /proc as
// `fuser` finds them. Exclusive use of a port holds only against programs that take the same lock, so
// the port is also checked for any other process that has it open, and the user is told which one.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zr {

struct PortHolder {
    int pid = 0;
    std::string command;  // the process's name ("minicom")
    std::string user;     // the name of the user it runs as, or the number when it has no name
};

// The processes other than this one with the device open. The other end of a pseudo-terminal (the
// process holding its master, a simulated board) is the line itself and is left out. Processes of
// other users are found only where their descriptors may be read (as root). Empty on systems
// without /proc or when the path is no character device.
std::vector<PortHolder> OtherProcessesHolding(const std::filesystem::path& devicePath,
                                              const std::filesystem::path& procFolder = "/proc");

// "minicom (process 1234 of user bob)".
std::string DescribeHolder(const PortHolder& holder);

// The processes whose name is one of `commands`.
std::vector<PortHolder> ProcessesNamed(const std::vector<std::string>& commands,
                                       const std::filesystem::path& procFolder = "/proc");

}  // namespace zr

#include "port_failure.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "device_files.h"
#include "port_holders.h"
#include "port_list.h"

#ifndef _WIN32
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zr {

namespace {

std::string Join(const std::vector<std::string>& items, std::string_view separator) {
    std::string text;
    for (const auto& item : items) {
        if (!text.empty()) text += separator;
        text += item;
    }
    return text;
}

#ifndef _WIN32

bool ListedInGroup(const group& entry, const std::string& user, gid_t primaryGroup) {
    if (entry.gr_gid == primaryGroup) return true;
    for (char** member = entry.gr_mem; member && *member; ++member)
        if (user == *member) return true;
    return false;
}

// Who may open the device, and how this user can become one of them.
std::string PermissionFix(const std::string& device) {
    struct stat info {};
    if (stat(device.c_str(), &info) != 0) return {};
    const group* owningGroup = getgrgid(info.st_gid);
    const std::string groupName = GroupNameOf(info.st_gid);
    const std::string owner = UserNameOf(info.st_uid);
    const std::string described = device + " (" + ModeText(info.st_mode) + " " + owner + ":" + groupName + ")";
    constexpr mode_t kGroupReadWrite = S_IRGRP | S_IWGRP;
    if ((info.st_mode & kGroupReadWrite) != kGroupReadWrite)
        return "Only its owner " + owner + " may use " + described +
               ": ask the administrator to give the device to a group you can join (a udev rule does it).";
    const passwd* me = getpwuid(geteuid());
    const std::string user = me ? me->pw_name : UserNameOf(geteuid());
    if (owningGroup && me && ListedInGroup(*owningGroup, user, me->pw_gid))
        return "You are in the group " + groupName + " that owns " + described +
               ", but this login began before you joined it: log out and in again (a new login is needed for the "
               "group to count).";
    return "The device " + described + " belongs to the group " + groupName +
           ". Add yourself to it with \"sudo usermod -aG " + groupName + " " + user +
           "\", then log out and in again: the group counts only from a new login.";
}

std::vector<std::string> ExistingAmong(const PortNameTable& candidates, std::string_view failedPort) {
    std::vector<std::string> existing;
    std::error_code error;
    for (const auto& name : candidates)
        if (name != failedPort && std::filesystem::exists(PortDevicePath(name), error)) existing.push_back(name);
    return existing;
}

// The ports that exist now: those the program offers, without names that lead nowhere. When the
// ports named in the environment all lead nowhere, the machine's own ports, which may well exist.
std::vector<std::string> ExistingPorts(std::string_view failedPort) {
    if (!std::getenv(kPortListVariable)) return ExistingAmong(SystemSerialPorts(), failedPort);
    auto offered = ExistingAmong(EnumerateSerialPorts(), failedPort);
    return offered.empty() ? ExistingAmong(SystemSerialPorts(), failedPort) : offered;
}

void Diagnose(PortFailure& failure, int systemError) {
    failure.reason = std::strerror(systemError);
    switch (systemError) {
    case EACCES:
    case EPERM:
        failure.kind = PortFailureKind::Permission;
        failure.fix = PermissionFix(failure.device);
        break;
    case EBUSY:
    case EAGAIN: {
        failure.kind = PortFailureKind::Held;
        std::vector<std::string> holders;
        std::vector<std::string> pids;
        for (const auto& holder : OtherProcessesHolding(failure.device)) {
            holders.push_back(DescribeHolder(holder));
            pids.push_back(std::to_string(holder.pid));
        }
        failure.reason = holders.empty() ? "in use by another program" : "in use by " + Join(holders, ", ");
        failure.fix = holders.empty()
                          ? "Close the program that uses the port (a terminal program, a modem manager, another copy "
                            "of this program), then try again."
                          : "Close that program (or end it with \"kill " + Join(pids, " ") + "\"), then try again.";
        break;
    }
    case ENOENT:
    case ENODEV:
    case ENXIO: {
        failure.kind = PortFailureKind::Missing;
        failure.reason = systemError == ENOENT ? "no such device" : "the device is gone (" + failure.reason + ")";
        const auto existing = ExistingPorts(failure.port);
        failure.fix = existing.empty()
                          ? "No serial port exists on this machine now: plug the programming cable in and try again."
                          : failure.port + " does not exist: check the cable and the port's name. Ports that exist: " +
                                Join(existing, ", ") + ".";
        break;
    }
    default:
        break;
    }
}

#else

// What Windows says when a COM port cannot be opened, in the words of the POSIX diagnosis.
void Diagnose(PortFailure& failure, std::uint32_t systemError) {
    constexpr std::uint32_t kFileNotFound = 2, kPathNotFound = 3, kAccessDenied = 5;
    switch (systemError) {
    case kFileNotFound:
    case kPathNotFound:
        failure.kind = PortFailureKind::Missing;
        failure.reason = "no such device";
        failure.fix = failure.port + " does not exist: check the cable and the port's name (the Device Manager lists "
                                     "the COM ports under Ports).";
        break;
    case kAccessDenied:  // Windows lets one program at a time open a COM port
        failure.kind = PortFailureKind::Held;
        failure.reason = "in use by another program";
        failure.fix = "Close the program that uses the port (a terminal program, another copy of this program), "
                      "then try again.";
        break;
    default:
        break;
    }
}

#endif

}  // namespace

std::string PortFailure::Text() const {
    std::string text = "Cannot open " + port;
    if (device != port) text += " (" + device + ")";
    text += ": " + reason + ".";
    if (!fix.empty()) text += " " + fix;
    return text;
}

PortFailure DiagnosePortFailure(std::string_view port, const ECommError& error) {
    PortFailure failure;
    failure.port = std::string(port);
    failure.device = PortDevicePath(port);
    failure.reason = error.what();
#ifndef _WIN32
    if (error.Code == ECommError::kOpen && error.SystemError != 0) {
        Diagnose(failure, static_cast<int>(error.SystemError));
    } else if (error.Code == ECommError::kGetState) {
        failure.reason = "it is not a serial port (" + std::string(std::strerror(static_cast<int>(error.SystemError))) + ")";
    }
#else
    if (error.Code == ECommError::kOpen) Diagnose(failure, error.SystemError);
#endif
    return failure;
}

}  // namespace zr

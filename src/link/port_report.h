// A check-up of the serial ports for the technician whose pager will not answer: for each port the
// device behind it, who may open it, who holds it now, whether a board answers and whether a pager
// answers behind the board; and the programs known to grab serial adapters.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "comm_port.h"
#include "frames.h"
#include "port_failure.h"
#include "port_holders.h"
#include "port_list.h"

namespace zr {

// What the kernel says about the device behind a port.
struct SerialDevice {
    std::string kind;     // "USB adapter", "on-board UART", "pseudo-terminal", ...
    std::string usbId;    // vendor and product numbers of a USB adapter: "0403:6001"
    std::string maker;    // as the adapter names itself: "FTDI"
    std::string product;  // "FT232R USB UART"
    std::string driver;   // the kernel driver: "ftdi_sio"
};

// Reads the tty class folder of sysfs for the device at `devicePath` (after its links).
SerialDevice DescribeSerialDevice(const std::filesystem::path& devicePath,
                                  const std::filesystem::path& ttyClassFolder = "/sys/class/tty");

struct PortReport {
    std::string port;
    std::string device;  // the path opened
    bool exists = false;
    SerialDevice kind;
    std::string owner, group, mode;  // "root", "dialout", "crw-rw----"
    bool canOpen = false;            // this user may read and write it
    std::vector<PortHolder> holders;
    std::optional<PortFailure> unopened;
    bool boardAnswers = false;
    std::string interfaceVersion;  // "2.15"; empty when the board did not tell
    bool pagerAnswers = false;
    std::string firmware;  // "5.10"
    std::string model;     // the pager's model/version tag
};

struct Checkup {
    std::vector<PortReport> ports;
    // Running programs known to open new serial adapters on their own (a modem manager, a braille
    // display daemon).
    std::vector<PortHolder> grabbers;
    // A board and a pager behind it answer on some port.
    bool PagerReachable() const;
};

// The programs known to grab serial adapters, by process name.
const std::vector<std::string>& KnownSerialGrabbers();

// Examines every port; the boards are asked all at once, so the whole check costs about one reply
// time-out. Ports are opened through ports made like `kind` (a traced port traces the check-up).
Checkup ExaminePorts(const CommPort& kind, const PortNameTable& ports,
                     std::chrono::milliseconds replyTimeOut = kReplyTimeOut);

}  // namespace zr

// Why a serial port could not be opened, in the system's words, and what the technician can do about
// it: the commonest trouble with programming cables is the port, not the board.
#pragma once

#include <string>
#include <string_view>

#include "comm_port.h"

namespace zr {

enum class PortFailureKind {
    Permission,  // this user may not open the device
    Held,        // another program has the port
    Missing,     // no such device, or it went away
    Other,       // anything the user cannot act on from here
};

struct PortFailure {
    std::string port;
    std::string device;  // the path opened: "/dev/ttyUSB0"
    PortFailureKind kind = PortFailureKind::Other;
    std::string reason;  // the system's words: "Permission denied"
    std::string fix;     // what to do; empty when nothing is known

    // Permission, a holding program, a missing device: the user can act on these.
    bool Actionable() const { return kind != PortFailureKind::Other; }
    // "Cannot open ttyUSB0 (/dev/ttyUSB0): <reason>. <fix>"
    std::string Text() const;

    bool operator==(const PortFailure&) const = default;
};

// Diagnoses a port error raised while the port was opened: looks at the device's owner and mode, the
// processes holding it, and the ports that do exist, as they are now.
PortFailure DiagnosePortFailure(std::string_view port, const ECommError& error);

}  // namespace zr

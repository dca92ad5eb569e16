// The serial ports a technician picks from in `cboPort`. Item i of the list is entry i of the port
// name table, which every device operation opens.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zr {

// Port names or paths, in the order the list shows them.
using PortNameTable = std::vector<std::string>;

// A colon-separated list of port names or paths ("ttyUSB0:/tmp/sim-port") that replaces the
// enumeration entirely: for demonstrations, tests and machines where a port must not be touched.
// Set but empty, it lists no port at all.
inline constexpr const char* kPortListVariable = "ZR250PRO_PORTS";

// The ports to offer: the variable's list when it is set, else the ports of the machine, else the
// sixteen fallback names. On Windows the machine's ports are the present devices of the ports class
// whose friendly name ends in "(COMn)" and whose driver is a serial one, ordered by n. The list is the
// port name table: item i is entry i, and a single port found is offered alone.
PortNameTable EnumerateSerialPorts();

// The variable's value split at ":"; empty items are left out.
PortNameTable ParsePortList(std::string_view value);

// A device of the Windows ports class, as the device set-up interface names it.
struct PortsClassDevice {
    std::string friendlyName;  // "USB Serial Port (COM3)"
    std::string service;       // the driver: "Serial", "Ser2pl", "usbser", ...
};

// The COM ports among the devices: a friendly name carrying "COMn" up to a ")" and a serial driver
// ("Serial" or "Ser2pl" in the service name). Ordered by n; a number seen twice is listed once.
PortNameTable SerialPortsOfDevices(const std::vector<PortsClassDevice>& devices);

// The serial devices the kernel really has, read from its tty class folder: USB adapters (ttyUSB,
// ttyACM) and every other tty with a device behind it, where a port of the serial core counts only
// when a UART answers behind it. A terminal the kernel's console is on is left out. Ordered by name,
// numbers compared as numbers (ttyS2 before ttyS10).
PortNameTable SystemSerialPorts(const std::filesystem::path& ttyClassFolder = "/sys/class/tty");

// When no port is found: "ttyS0" to "ttyS15" on Linux, the sixteen devices that stand for COM1 to
// COM16 (the enumeration leaves out the one the kernel's console is on); "COM1" to "COM16" on Windows.
PortNameTable FallbackPortNames();

// The device path of a port name: a name with "/" is a path and stays as it is; any other name lies
// in /dev. On Windows the name gets the "\\.\" prefix, which also reaches COM10 and above.
std::string PortDevicePath(std::string_view name);

}  // namespace zr

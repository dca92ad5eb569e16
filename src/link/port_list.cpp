#include "port_list.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <tuple>

#ifdef _WIN32
#include <windows.h>
#include <setupapi.h>
#endif

namespace zr {

namespace {

// "ttyUSB10" -> ("ttyUSB", 10, ""), so that numbers sort as numbers.
std::tuple<std::string, unsigned long, std::string> NaturalKey(const std::string& name) {
    std::size_t digits = name.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1]))) --digits;
    if (digits == name.size() || name.size() - digits > 9) return {name, 0, name};
    return {name.substr(0, digits), std::stoul(name.substr(digits)), name};
}

// A port of the serial core names its UART in "type"; 0 means no UART answers behind the port (the
// kernel reserves ttyS0..ttyS31 whether or not the hardware exists).
bool HasNoUart(const std::filesystem::path& ttyFolder) {
    std::ifstream type(ttyFolder / "type");
    int uart = -1;
    return type >> uart && uart == 0;
}

#ifdef _WIN32
// The present devices of the ports class with their friendly and service names.
std::vector<PortsClassDevice> PresentPortsClassDevices() {
    static const GUID kPortsClass = {0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
    HDEVINFO devices = SetupDiGetClassDevsA(&kPortsClass, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE) return {};
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    const auto property = [&](DWORD which) {
        char text[261] = {};
        if (!SetupDiGetDeviceRegistryPropertyA(devices, &device, which, nullptr, reinterpret_cast<PBYTE>(text),
                                               sizeof text - 1, nullptr))
            return std::string();
        return std::string(text);
    };
    std::vector<PortsClassDevice> present;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device); ++index)
        present.push_back({property(SPDRP_FRIENDLYNAME), property(SPDRP_SERVICE)});
    SetupDiDestroyDeviceInfoList(devices);
    return present;
}
#endif

// The terminals the kernel writes its console to ("ttyS0 tty0"): a board cannot share a line with
// the console, and writing frames there would scramble it.
std::vector<std::string> ConsoleTerminals(const std::filesystem::path& ttyClassFolder) {
    std::ifstream active(ttyClassFolder / "console" / "active");
    std::vector<std::string> names;
    for (std::string name; active >> name;) names.push_back(name);
    return names;
}

}  // namespace

PortNameTable SerialPortsOfDevices(const std::vector<PortsClassDevice>& devices) {
    std::vector<std::string> slots(257);
    for (const auto& [friendly, service] : devices) {
        if (service.find("Serial") == std::string::npos && service.find("Ser2pl") == std::string::npos) continue;
        const auto com = friendly.find("COM");
        if (com == std::string::npos) continue;
        const auto close = friendly.find(')', com);
        if (close == std::string::npos) continue;
        const std::string name = friendly.substr(com, close - com);
        const auto [key, number, whole] = NaturalKey(name);
        if (key == "COM" && number >= 1 && number <= 256) slots[number] = name;
    }
    PortNameTable ports;
    for (const auto& name : slots)
        if (!name.empty()) ports.push_back(name);
    return ports;
}

PortNameTable ParsePortList(std::string_view value) {
    PortNameTable ports;
    while (!value.empty()) {
        const auto colon = value.find(':');
        const auto item = value.substr(0, colon);
        if (!item.empty()) ports.emplace_back(item);
        if (colon == std::string_view::npos) break;
        value.remove_prefix(colon + 1);
    }
    return ports;
}

PortNameTable SystemSerialPorts(const std::filesystem::path& ttyClassFolder) {
    PortNameTable ports;
    const auto consoles = ConsoleTerminals(ttyClassFolder);
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(ttyClassFolder, error)) {
        const auto name = entry.path().filename().string();
        // Consoles, virtual terminals and pseudo-terminals have no device behind them.
        if (name.rfind("tty", 0) != 0 || !std::filesystem::exists(entry.path() / "device", error)) continue;
        if (HasNoUart(entry.path()) || std::ranges::find(consoles, name) != consoles.end()) continue;
        ports.push_back(name);
    }
    std::sort(ports.begin(), ports.end(),
              [](const std::string& a, const std::string& b) { return NaturalKey(a) < NaturalKey(b); });
    return ports;
}

PortNameTable FallbackPortNames() {
    PortNameTable ports;
    for (int n = 1; n <= 16; ++n) {
#ifdef _WIN32
        ports.push_back("COM" + std::to_string(n));
#else
        ports.push_back("ttyS" + std::to_string(n - 1));
#endif
    }
    return ports;
}

PortNameTable EnumerateSerialPorts() {
    if (const char* list = std::getenv(kPortListVariable)) return ParsePortList(list);
#ifdef _WIN32
    const PortNameTable ports = SerialPortsOfDevices(PresentPortsClassDevices());
    return ports.empty() ? FallbackPortNames() : ports;
#else
    const std::filesystem::path ttyClassFolder = "/sys/class/tty";
    PortNameTable ports = SystemSerialPorts(ttyClassFolder);
    if (!ports.empty()) return ports;
    // The fallback names leave the console's terminal out as well.
    ports = FallbackPortNames();
    for (const auto& console : ConsoleTerminals(ttyClassFolder)) std::erase(ports, console);
    return ports;
#endif
}

std::string PortDevicePath(std::string_view name) {
#ifdef _WIN32
    if (name.find('\\') != std::string_view::npos) return std::string(name);
    return "\\\\.\\" + std::string(name);
#else
    if (name.find('/') != std::string_view::npos) return std::string(name);
    return "/dev/" + std::string(name);
#endif
}

}  // namespace zr

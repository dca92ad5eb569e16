#include "port_report.h"

#include <algorithm>
#include <array>

#include "board_scan.h"
#include "device_files.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zr {

namespace {

namespace fs = std::filesystem;

// The USB device a tty hangs under: the nearest folder above it with a vendor number.
std::optional<fs::path> UsbDeviceAbove(fs::path folder) {
    for (; !folder.empty() && folder != folder.root_path(); folder = folder.parent_path())
        if (fs::exists(folder / "idVendor")) return folder;
    return std::nullopt;
}

// The firmware version a read of the pager shows, kept for the check-up.
class FirmwareNotingView final : public QuietView {
public:
    void ShowFirmwareVersion(std::string_view text) override { firmware = std::string(text); }

    std::string firmware;
};

#ifndef _WIN32
void AddOwnership(PortReport& report) {
    struct stat info {};
    if (stat(report.device.c_str(), &info) != 0) return;
    report.exists = true;
    report.owner = UserNameOf(info.st_uid);
    report.group = GroupNameOf(info.st_gid);
    report.mode = ModeText(info.st_mode);
    report.canOpen = access(report.device.c_str(), R_OK | W_OK) == 0;
}
#else
void AddOwnership(PortReport& report) { report.exists = fs::exists(report.device); report.canOpen = report.exists; }
#endif

// Asks the board for its version and the pager behind it for its firmware and tag.
void AskBoardAndPager(const CommPort& kind, PortReport& report) {
    const auto port = kind.NewPort();
    FirmwareNotingView view;
    try {
        port->Configure(kLineBaudRate, report.port, kLineMode);
        port->Purge();
        FrameLink link(*port, view);
        std::array<std::uint8_t, 2> version{};
        if (link.ReadIntoBuffer(kBoardCommand, version, 0, 2))
            report.interfaceVersion = std::to_string(version[0]) + "." + std::to_string(version[1]);
        PagerImage scratch{};
        report.pagerAnswers = link.QueryFirmwareVersion(scratch) > 0.0f;
        report.firmware = view.firmware;
        std::array<std::uint8_t, kTagSize> tag{};
        if (report.pagerAnswers && link.ReadIntoBuffer(kPagerMemoryCommand, tag, kTagOffset, kTagSize)) {
            const auto end = std::find(tag.begin(), tag.end(), 0);
            for (auto byte = tag.begin(); byte != end; ++byte)
                report.model += (*byte >= 0x20 && *byte < 0x7F) ? static_cast<char>(*byte) : '?';
        }
    } catch (const ECommError& error) {
        report.unopened = DiagnosePortFailure(report.port, error);
    }
    CloseQuietly(*port);
}

// A device of the kernel's: a USB adapter with its numbers and names, or a UART of the serial core.
void DescribeKernelDevice(SerialDevice& device, const fs::path& ttyFolder) {
    std::error_code error;
    const fs::path deviceLink = ttyFolder / "device";
    device.driver = fs::read_symlink(deviceLink / "driver", error).filename().string();
    if (const auto usb = UsbDeviceAbove(fs::canonical(deviceLink, error))) {
        device.kind = "USB adapter";
        device.usbId = FirstLineOf(*usb / "idVendor") + ":" + FirstLineOf(*usb / "idProduct");
        device.maker = FirstLineOf(*usb / "manufacturer");
        device.product = FirstLineOf(*usb / "product");
    } else if (fs::exists(ttyFolder / "type", error)) {
        device.kind = FirstLineOf(ttyFolder / "type") == "0" ? "serial port without a UART behind it" : "on-board UART";
    } else {
        device.kind = "serial device";
    }
}

}  // namespace

SerialDevice DescribeSerialDevice(const fs::path& devicePath, const fs::path& ttyClassFolder) {
    SerialDevice device;
    std::error_code error;
    const fs::path resolved = fs::canonical(devicePath, error);
    const fs::path ttyFolder = ttyClassFolder / resolved.filename();
    const fs::path deviceLink = ttyFolder / "device";
    if (error) {
        device.kind = "no such device";
    } else if (resolved.parent_path() == "/dev/pts") {
        device.kind = "pseudo-terminal (a simulated or virtual line)";
    } else if (!fs::exists(deviceLink, error)) {
        device.kind = "terminal without a serial device behind it";
    } else {
        DescribeKernelDevice(device, ttyFolder);
    }
    return device;
}

bool Checkup::PagerReachable() const {
    return std::ranges::any_of(ports, [](const PortReport& p) { return p.boardAnswers && p.pagerAnswers; });
}

const std::vector<std::string>& KnownSerialGrabbers() {
    static const std::vector<std::string> names{"ModemManager", "brltty"};
    return names;
}

Checkup ExaminePorts(const CommPort& kind, const PortNameTable& ports, std::chrono::milliseconds replyTimeOut) {
    Checkup checkup;
    checkup.grabbers = ProcessesNamed(KnownSerialGrabbers());
    for (const auto& name : ports) {
        PortReport report;
        report.port = name;
        report.device = PortDevicePath(name);
        AddOwnership(report);
        report.kind = DescribeSerialDevice(report.device);
        report.holders = OtherProcessesHolding(report.device);
        checkup.ports.push_back(std::move(report));
    }
    QuietView view;
    const BoardCensus census = BoardsOnPorts(kind, ports, view, replyTimeOut);
    for (std::size_t i = 0; i < ports.size(); ++i) {
        PortReport& report = checkup.ports[i];
        report.unopened = census.unopened[i];
        report.boardAnswers = census.answered[i];
        if (report.boardAnswers) AskBoardAndPager(kind, report);
    }
    return checkup;
}

}  // namespace zr

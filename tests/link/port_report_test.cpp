// The check-up of the ports: what the kernel says about the device, who may open and who holds it,
// and whether a board and a pager answer; the doctor command that prints it.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <thread>

#include "cli_run.h"
#include "holding_process.h"
#include "pager_simulator.h"
#include "port_report.h"
#include "quick_port.h"
#include "temp_dir.h"

namespace zr {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using sim::SimulatorOptions;
using sim::SimulatorThread;
using testing::TempDir;

void WriteText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text << "\n";
}

TEST(PortReport, TheDeviceBehindAPortIsReadFromTheKernelsTtyFolder) {
    // A tty class folder as the kernel lays it out: a USB adapter, a UART and a port without one.
    TempDir sys;
    const fs::path usb = sys / "devices/usb1/1-2";
    WriteText(usb / "idVendor", "0403");
    WriteText(usb / "idProduct", "6001");
    WriteText(usb / "manufacturer", "FTDI");
    WriteText(usb / "product", "FT232R USB UART");
    fs::create_directories(usb / "1-2:1.0/ttyUSB0");
    fs::create_directories(sys / "drivers/ftdi_sio");
    fs::create_directory_symlink(sys / "drivers/ftdi_sio", usb / "1-2:1.0/ttyUSB0/driver");
    fs::create_directories(sys / "tty/ttyUSB0");
    fs::create_directory_symlink(usb / "1-2:1.0/ttyUSB0", sys / "tty/ttyUSB0/device");
    for (const auto& [name, type] : {std::pair{"ttyS4", "4"}, std::pair{"ttyS9", "0"}}) {
        fs::create_directories(sys / "devices/platform/serial8250" / name);
        fs::create_directories(sys / "tty" / name);
        fs::create_directory_symlink(sys / "devices/platform/serial8250" / name, sys / "tty" / name / "device");
        WriteText(sys / "tty" / name / "type", type);
    }
    for (const char* name : {"ttyUSB0", "ttyS4", "ttyS9", "tty7"}) WriteText(sys / "dev" / name, "");

    const SerialDevice adapter = DescribeSerialDevice(sys / "dev/ttyUSB0", sys / "tty");
    EXPECT_EQ(adapter.kind, "USB adapter");
    EXPECT_EQ(adapter.usbId, "0403:6001");
    EXPECT_EQ(adapter.maker, "FTDI");
    EXPECT_EQ(adapter.product, "FT232R USB UART");
    EXPECT_EQ(adapter.driver, "ftdi_sio");
    EXPECT_EQ(DescribeSerialDevice(sys / "dev/ttyS4", sys / "tty").kind, "on-board UART");
    EXPECT_EQ(DescribeSerialDevice(sys / "dev/ttyS9", sys / "tty").kind, "serial port without a UART behind it");
    EXPECT_EQ(DescribeSerialDevice(sys / "dev/tty7", sys / "tty").kind, "terminal without a serial device behind it");
    EXPECT_EQ(DescribeSerialDevice(sys / "dev/ttyUSB5", sys / "tty").kind, "no such device");
}

TEST(PortReport, EveryPortIsExaminedAndTheBoardsAskedAtOnce) {
    SimulatorOptions silent;
    silent.silent = true;
    SimulatorOptions pager;
    pager.tag = "ZR250Pro V107";
    pager.firmwareMinor = 9;
    pager.boardMajor = 3;
    pager.boardMinor = 1;
    SimulatorThread empty(silent), board(pager), held;
    testing::HoldingProcess other(held.PortPath());
    const PortNameTable ports{empty.PortPath(), held.PortPath(), "/nonexistent/ttyUSB4", board.PortPath()};

    const Checkup checkup = ExaminePorts(testing::QuickPort{}, ports, 300ms);
    ASSERT_EQ(checkup.ports.size(), 4u);
    const PortReport& silentLine = checkup.ports[0];
    EXPECT_TRUE(silentLine.exists);
    EXPECT_EQ(silentLine.kind.kind, "pseudo-terminal (a simulated or virtual line)");
    EXPECT_FALSE(silentLine.boardAnswers);
    EXPECT_FALSE(silentLine.unopened);

    const PortReport& heldLine = checkup.ports[1];
    ASSERT_EQ(heldLine.holders.size(), 1u);
    EXPECT_EQ(heldLine.holders[0].pid, other.pid());
    ASSERT_TRUE(heldLine.unopened);
    EXPECT_EQ(heldLine.unopened->kind, PortFailureKind::Held);

    const PortReport& missing = checkup.ports[2];
    EXPECT_FALSE(missing.exists);
    ASSERT_TRUE(missing.unopened);
    EXPECT_EQ(missing.unopened->kind, PortFailureKind::Missing);

    const PortReport& answering = checkup.ports[3];
    EXPECT_TRUE(answering.boardAnswers);
    EXPECT_EQ(answering.interfaceVersion, "3.1");
    EXPECT_TRUE(answering.pagerAnswers);
    EXPECT_EQ(answering.firmware, "5.90");
    EXPECT_EQ(answering.model, "ZR250Pro V107");
    EXPECT_TRUE(checkup.PagerReachable());
    // The board was asked the presence test, its version, the firmware and the tag; nothing else.
    EXPECT_EQ(board.simulator().Requests().size(), 4u);
    for (const auto& request : board.simulator().Requests()) EXPECT_EQ(request.letter, 'R');
}

TEST(PortReport, TheDoctorCommandPrintsTheCheckUpAndExitsByThePager) {
    SimulatorThread board;
    const auto found = testing::Cli("doctor --port " + board.PortPath());
    EXPECT_EQ(found.status, 0);
    EXPECT_TRUE(testing::Contains(found.out, "  board:    answers, interface version 2.15\n")) << found.out;
    EXPECT_TRUE(testing::Contains(found.out, "  pager:    answers, firmware 5.10, model \"ZR250Pro V107\"\n"));
    EXPECT_TRUE(testing::Contains(found.out, "Result: a board and a pager answer on " + board.PortPath() + ".\n"));

    const auto json = testing::Cli("doctor --json -p /nonexistent/ttyUSB4");
    EXPECT_EQ(json.status, 1);
    EXPECT_TRUE(testing::Contains(json.out, "\"open_error\": {\"kind\": \"missing\", \"reason\": \"no such device\""))
        << json.out;
    EXPECT_TRUE(testing::Contains(json.out, "\"pager_reachable\": false")) << json.out;
}

TEST(PortReport, ABoardWithNoPagerBehindItIsNoReachablePager) {
    TempDir dir;
    SimulatorOptions options;
    options.control = dir / "control";
    SimulatorThread board(options);
    std::ofstream(options.control) << "remove\n";
    const auto asked = std::chrono::steady_clock::now();
    while (board.simulator().ConnectedPager() != 0 && std::chrono::steady_clock::now() - asked < 10s)
        std::this_thread::sleep_for(10ms);
    ASSERT_EQ(board.simulator().ConnectedPager(), 0u);

    const auto doctor = testing::Cli("doctor --port " + board.PortPath());
    EXPECT_EQ(doctor.status, 1) << doctor.out;
    EXPECT_TRUE(testing::Contains(doctor.out, "  board:    answers, interface version 2.15\n")) << doctor.out;
    EXPECT_FALSE(testing::Contains(doctor.out, "Result: a board and a pager answer")) << doctor.out;
}

}  // namespace
}  // namespace zr

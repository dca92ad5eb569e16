// The ports offered in cboPort.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "port_list.h"
#include "temp_dir.h"

namespace zr {
namespace {

TEST(PortList, TheVariableIsSplitAtColons) {
    EXPECT_EQ(ParsePortList("ttyUSB0:/tmp/sim-port"), (PortNameTable{"ttyUSB0", "/tmp/sim-port"}));
    EXPECT_EQ(ParsePortList("::ttyACM1::"), (PortNameTable{"ttyACM1"}));
    EXPECT_TRUE(ParsePortList("").empty());
}

TEST(PortList, TheVariableReplacesTheEnumerationEvenWhenEmpty) {
#ifdef _WIN32
    // Windows has no empty environment variables: setting one to nothing removes it.
    _putenv_s(kPortListVariable, "COM21:COM20");
    EXPECT_EQ(EnumerateSerialPorts(), (PortNameTable{"COM21", "COM20"}));
    _putenv_s(kPortListVariable, "");
#else
    ::setenv(kPortListVariable, "./a:./b", 1);
    EXPECT_EQ(EnumerateSerialPorts(), (PortNameTable{"./a", "./b"}));
    ::setenv(kPortListVariable, "", 1);
    EXPECT_TRUE(EnumerateSerialPorts().empty());
    ::unsetenv(kPortListVariable);
#endif
}

TEST(PortList, WindowsPortsAreTheSerialDevicesByPortNumber) {
    const std::vector<PortsClassDevice> devices = {
        {"USB Serial Port (COM7)", "Ser2pl64"},
        {"Communications Port (COM3)", "Serial"},
        {"ECP Printer Port (LPT1)", "Parport"},
        {"Bluetooth link (COM5)", "BTHMODEM"},  // not a serial driver
        {"Standard Serial over Link (COM4)", "Serial"},
        {"Serial port without a number", "Serial"},
        {"Broken name (COM9", "Serial"},        // no ")": counted, not listed
        {"Adapter (COM12)", "Serial"},
        {"Second adapter (COM7)", "Serial"},    // the same number again: listed once
        {"Out of range (COM300)", "Serial"},
    };
    EXPECT_EQ(SerialPortsOfDevices(devices), (PortNameTable{"COM3", "COM4", "COM7", "COM12"}));
    EXPECT_TRUE(SerialPortsOfDevices({}).empty());
}

TEST(PortList, KernelPortsWithHardwareAreListedInNumberOrder) {
    testing::TempDir sys;
    const auto port = [&sys](const std::string& name, const char* uart) {
        std::filesystem::create_directories(sys / name / "device");
        if (uart) std::ofstream(sys / name / "type") << uart << "\n";
    };
    port("ttyUSB10", nullptr);
    port("ttyUSB2", nullptr);
    port("ttyS0", "4");
    port("ttyS1", "0");  // reserved by the kernel, no UART behind it
    port("ttyS12", "4");
    port("ttyS3", "4");
    port("ttyACM0", nullptr);
    std::filesystem::create_directories(sys / "tty1");  // a virtual terminal: no device
    std::filesystem::create_directories(sys / "console");
    std::ofstream(sys / "console" / "active") << "ttyS3 tty0\n";  // the kernel's console is on ttyS3
    EXPECT_EQ(SystemSerialPorts(sys.path()), (PortNameTable{"ttyACM0", "ttyS0", "ttyS12", "ttyUSB2", "ttyUSB10"}));
    EXPECT_TRUE(SystemSerialPorts(sys / "missing").empty());
}

TEST(PortList, FallbackAndDevicePaths) {
    const PortNameTable fallback = FallbackPortNames();
    ASSERT_EQ(fallback.size(), 16u);
#ifdef _WIN32
    EXPECT_EQ(fallback.front(), "COM1");
    EXPECT_EQ(fallback.back(), "COM16");
    EXPECT_EQ(PortDevicePath("COM3"), "\\\\.\\COM3");
    EXPECT_EQ(PortDevicePath("COM12"), "\\\\.\\COM12");  // the prefix reaches ports above COM9
    EXPECT_EQ(PortDevicePath("\\\\.\\COM20"), "\\\\.\\COM20");
#else
    EXPECT_EQ(fallback.front(), "ttyS0");
    EXPECT_EQ(fallback.back(), "ttyS15");
    EXPECT_EQ(PortDevicePath("pager-board"), "/dev/pager-board");  // a bare name is a device name
    EXPECT_EQ(PortDevicePath("./sim-port"), "./sim-port");
    EXPECT_EQ(PortDevicePath("/dev/pts/3"), "/dev/pts/3");
#endif
}

}  // namespace
}  // namespace zr

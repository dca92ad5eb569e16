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
    ::setenv(kPortListVariable, "./a:./b", 1);
    EXPECT_EQ(EnumerateSerialPorts(), (PortNameTable{"./a", "./b"}));
    ::setenv(kPortListVariable, "", 1);
    EXPECT_TRUE(EnumerateSerialPorts().empty());
    ::unsetenv(kPortListVariable);
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
    EXPECT_EQ(fallback.front(), "ttyS0");
    EXPECT_EQ(fallback.back(), "ttyS15");
    EXPECT_EQ(PortDevicePath("pager-board"), "/dev/pager-board");  // a bare name is a device name
    EXPECT_EQ(PortDevicePath("./sim-port"), "./sim-port");
    EXPECT_EQ(PortDevicePath("/dev/pts/3"), "/dev/pts/3");
}

}  // namespace
}  // namespace zr

// The Win32 serial port end to end: Read, Write and Verify through real COM ports, with a simulated
// board behind them. The simulator is a pseudo-terminal program, so it runs outside Windows; the test
// command maps one COM port to a board that answers and one to a board that stays silent, and names
// them in ZR250PRO_TEST_BOARD_PORT and ZR250PRO_TEST_SILENT_PORT.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "board_scan.h"
#include "cli_run.h"
#include "device_operations.h"
#include "device_texts.h"
#include "quick_port.h"
#include "recording_view.h"
#include "temp_dir.h"

namespace zr {
namespace {

using testing::QuickPort;
using testing::RecordingView;

// A device name no machine has.
constexpr const char* kMissingPort = "ZR250PRO-NO-SUCH-PORT";
// Long enough for the answering board under Wine on a loaded machine, short for the silent one.
constexpr std::chrono::milliseconds kScanReplyTimeOut{1000};

// Wine opens a COM port as the Unix device behind it and does not keep a second open out, as
// Windows' serial drivers do.
bool RunsUnderWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

std::string PortFromEnvironment(const char* variable) {
    const char* name = std::getenv(variable);
    return name == nullptr ? std::string() : std::string(name);
}

class Win32Port : public ::testing::Test {
protected:
    void SetUp() override {
        board = PortFromEnvironment("ZR250PRO_TEST_BOARD_PORT");
        silent = PortFromEnvironment("ZR250PRO_TEST_SILENT_PORT");
        if (board.empty() || silent.empty())
            GTEST_SKIP() << "no simulated board: ZR250PRO_TEST_BOARD_PORT and ZR250PRO_TEST_SILENT_PORT name the "
                            "COM ports of an answering and a silent zr250pro-sim (scripts/test.sh sets them)";
    }
    DeviceContext On(CommPort& port, const PortNameTable& ports) { return {port, ports, 0, image, levels, view}; }

    std::string board;
    std::string silent;
    RecordingView view;
    PagerImage image = StartupImage();
    SquelchLevelTable levels = BuiltInSquelchLevelTable();
};

TEST_F(Win32Port, WriteReadAndVerifyAgainstTheBoard) {
    TCommPort port;
    const PortNameTable ports{board};
    image[48] = 0xA5;
    image[200] = 0x5A;
    image[kSpeakerOnOffset] = 1;  // a pair of no level: repaired before sealing
    ASSERT_TRUE(WritePager(On(port, ports)));
    EXPECT_EQ(view.messages, std::vector{WriteDoneMessage()});
    EXPECT_FALSE(port.IsOpen());
    const PagerImage written = image;  // sealed, with the pager's firmware version

    image = StartupImage();
    view = RecordingView{};
    ASSERT_TRUE(ReadPager(On(port, ports)));
    EXPECT_EQ(view.messages, std::vector{ReadDoneMessage()});
    EXPECT_EQ(image, written);
    EXPECT_EQ(view.firmwareVersion, "5.10");

    view = RecordingView{};
    EXPECT_TRUE(VerifyPager(On(port, ports)));
    EXPECT_EQ(view.messages, std::vector{VerifyDoneMessage()});
    image[130] ^= 0x10;
    view = RecordingView{};
    EXPECT_FALSE(VerifyPager(On(port, ports)));
    EXPECT_EQ(view.messages, std::vector{VerifyErrorMessage()});
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(Win32Port, ASilentBoardIsNoBoard) {
    QuickPort port;  // the real port, its time-outs cut short
    const PortNameTable ports{silent};
    const PagerImage before = image;
    EXPECT_FALSE(ReadPager(On(port, ports)));
    EXPECT_EQ(view.messages, std::vector{NoBoardOnReadMessage()});
    EXPECT_EQ(view.Status(), kReadyStatus);
    EXPECT_EQ(image, before);
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(Win32Port, TheScanChoosesTheAnsweringBoardPastMissingAndSilentPorts) {
    QuickPort port;
    const BoardScan scan = ScanPortsForBoard(port, {kMissingPort, silent, board}, view, kScanReplyTimeOut);
    EXPECT_EQ(scan.found, std::optional<std::size_t>(2));
    EXPECT_TRUE(port.IsOpen()) << "the chosen port is left open";
    ASSERT_EQ(scan.unopened.size(), 1u);
    EXPECT_EQ(scan.unopened[0].port, kMissingPort);
    EXPECT_TRUE(view.messages.empty());
    port.Close();

    EXPECT_EQ(ScanPortsForBoard(port, {silent, kMissingPort}, view, kScanReplyTimeOut).found, std::nullopt);
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(Win32Port, ScanDoctorAndTraceOnTheCommandLine) {
    using testing::Cli;
    using testing::Contains;
    // The command line's port list, inherited: the silent board's port, then the answering one's.
    ASSERT_EQ(_putenv_s("ZR250PRO_PORTS", (silent + ":" + board).c_str()), 0);
    const auto scan = Cli("scan");
    EXPECT_EQ(scan.status, 0);
    EXPECT_TRUE(Contains(scan.out, "board found on " + board)) << scan.out;

    const auto doctor = Cli("doctor");
    EXPECT_EQ(doctor.status, 0);
    EXPECT_TRUE(Contains(doctor.out, "  held by:  not available on Windows\n")) << doctor.out;
    EXPECT_TRUE(Contains(doctor.out, "Programs that grab serial adapters: not available on Windows\n")) << doctor.out;
    EXPECT_TRUE(Contains(doctor.out, "Result: a board and a pager answer on " + board + ".\n")) << doctor.out;

    testing::TempDir dir;
    const auto trace = dir / "trace.txt";
    EXPECT_EQ(Cli("probe --port " + board + " --trace " + trace.string()).status, 0);
    std::error_code error;
    EXPECT_GT(std::filesystem::file_size(trace, error), 0u) << error.message();
}

TEST_F(Win32Port, APortInUseIsRefusedUntilItIsFreed) {
    if (RunsUnderWine()) GTEST_SKIP() << "Wine does not refuse a second open of a COM port; Windows does";
    TCommPort holder;
    holder.Configure(9600, board, 1);
    TCommPort second;
    try {
        second.Configure(9600, board, 1);
        ADD_FAILURE() << "a port held elsewhere opened";
    } catch (const ECommError& error) {
        EXPECT_EQ(error.Code, ECommError::kOpen);
    }
    EXPECT_FALSE(second.IsOpen());

    QuickPort port;
    const PortNameTable ports{board};
    EXPECT_FALSE(WritePager(On(port, ports)));
    EXPECT_EQ(view.messages, std::vector{NoBoardMessage()});

    holder.Close();
    EXPECT_TRUE(ProbeSelectedPort(On(port, ports))) << "once freed, the board answers";
    port.Close();
}

TEST(Win32PortAlone, MissingPortsAndClosedPortsRaiseTheirCodes) {
    TCommPort port;
    EXPECT_EQ(port.PortName(), "COM1");  // named only: construction touches no port
    try {
        port.Configure(9600, kMissingPort, 1);
        ADD_FAILURE() << kMissingPort << " opened";
    } catch (const ECommError& error) {
        EXPECT_EQ(error.Code, ECommError::kOpen);
        EXPECT_NE(error.SystemError, 0u);
    }
    EXPECT_FALSE(port.IsOpen());
    port.Close();  // harmless twice
    const auto code = [&port](auto operation) {
        try {
            operation();
        } catch (const ECommError& error) {
            return static_cast<int>(error.Code);
        }
        return 0;
    };
    const std::uint8_t byte = 1;
    EXPECT_EQ(code([&] { port.Purge(); }), ECommError::kPortClosed);
    EXPECT_EQ(code([&] { port.Write(std::span(&byte, 1)); }), ECommError::kPortClosed);
    EXPECT_EQ(code([&] { port.BytesWaiting(); }), ECommError::kPortClosed);
    EXPECT_EQ(code([&] { port.ReadByte(); }), ECommError::kPortClosed);
}

}  // namespace
}  // namespace zr

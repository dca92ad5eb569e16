// Why a port cannot be opened and what to do about it: the reasons for a permission refused, a port
// another program holds and a device that is not there, and where the operations tell them.
#include <gtest/gtest.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>

#include "device_operations.h"
#include "device_texts.h"
#include "holding_process.h"
#include "pager_simulator.h"
#include "port_holders.h"
#include "quick_port.h"
#include "recording_view.h"
#include "temp_dir.h"

namespace zr {
namespace {

using sim::SimulatorOptions;
using sim::SimulatorThread;
using testing::HoldingProcess;
using testing::QuickPort;
using testing::RecordingView;

std::string GroupOf(const std::string& path) {
    struct stat info {};
    stat(path.c_str(), &info);
    const group* entry = getgrgid(info.st_gid);
    return entry ? entry->gr_name : std::to_string(info.st_gid);
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(PortFailure, PermissionRefusedSaysWhoMayUseTheDevice) {
    SimulatorThread board;  // a fresh pseudo-terminal: crw------- or crw--w---- of group tty
    const PortFailure failure = DiagnosePortFailure(board.PortPath(), ECommError(ECommError::kOpen, EACCES));
    EXPECT_EQ(failure.kind, PortFailureKind::Permission);
    EXPECT_TRUE(failure.Text().starts_with("Cannot open " + board.PortPath() + ": Permission denied. Only its owner "))
        << failure.Text();
    EXPECT_TRUE(Contains(failure.fix, GroupOf(board.PortPath()))) << failure.fix;
}

TEST(PortFailure, AGroupThatMayReadAndWriteIsJoinedWithUsermodAndANewLogin) {
    if (geteuid() != 0) GTEST_SKIP() << "giving a pseudo-terminal to the dialout group needs root";
    const group* dialout = getgrnam("dialout");
    if (!dialout) GTEST_SKIP() << "no dialout group on this machine";
    SimulatorThread board;
    ASSERT_EQ(chown(board.PortPath().c_str(), 0, dialout->gr_gid), 0);
    ASSERT_EQ(chmod(board.PortPath().c_str(), 0660), 0);
    const std::string text = DiagnosePortFailure(board.PortPath(), ECommError(ECommError::kOpen, EACCES)).Text();
    EXPECT_TRUE(Contains(text, "(crw-rw---- root:dialout) belongs to the group dialout")) << text;
    EXPECT_TRUE(Contains(text, "\"sudo usermod -aG dialout root\", then log out and in again")) << text;
}

TEST(PortFailure, AGroupThatMayOnlyReadLeavesTheDeviceToItsOwner) {
    if (geteuid() != 0) GTEST_SKIP() << "giving a pseudo-terminal to another user needs root";
    const group* dialout = getgrnam("dialout");
    const passwd* nobody = getpwnam("nobody");
    if (!dialout || !nobody) GTEST_SKIP() << "no dialout group or nobody user on this machine";
    SimulatorThread board;
    ASSERT_EQ(chown(board.PortPath().c_str(), nobody->pw_uid, dialout->gr_gid), 0);
    ASSERT_EQ(chmod(board.PortPath().c_str(), 0640), 0);
    const std::string text = DiagnosePortFailure(board.PortPath(), ECommError(ECommError::kOpen, EACCES)).Text();
    EXPECT_TRUE(Contains(text, "Only its owner nobody may use " + board.PortPath() + " (crw-r----- nobody:dialout)"))
        << text;
    EXPECT_FALSE(Contains(text, "usermod")) << text;
}

TEST(PortFailure, APortAnotherProgramHoldsIsInUseAndThatProgramIsNamed) {
    SimulatorThread board;
    HoldingProcess other(board.PortPath());

    TCommPort port;
    try {
        port.Configure(9600, board.PortPath(), 1);
        FAIL() << "the port opened while another program had it";
    } catch (const ECommError& error) {
        EXPECT_EQ(error.Code, ECommError::kOpen);
        const PortFailure failure = DiagnosePortFailure(board.PortPath(), error);
        EXPECT_EQ(failure.kind, PortFailureKind::Held);
        const std::string pid = std::to_string(other.pid());
        EXPECT_EQ(failure.reason, "in use by sleep (process " + pid + " of user " + OtherProcessesHolding(board.PortPath()).at(0).user + ")");
        EXPECT_EQ(failure.fix, "Close that program (or end it with \"kill " + pid + "\"), then try again.");
    }
    EXPECT_FALSE(port.IsOpen());
}

TEST(PortFailure, TheSimulatedBoardAtTheOtherEndDoesNotHoldItsLine) {
    // This process holds the pseudo-terminal's master and a descriptor of the line itself.
    SimulatorThread board;
    EXPECT_TRUE(OtherProcessesHolding(board.PortPath()).empty());
}

TEST(PortFailure, AMissingDeviceListsThePortsThatExist) {
    SimulatorThread board;
    const std::string list = "/nonexistent/ttyUSB9:" + board.PortPath() + ":/nonexistent/ttyUSB8";
    setenv(kPortListVariable, list.c_str(), 1);
    const PortFailure failure =
        DiagnosePortFailure("/nonexistent/ttyUSB9", ECommError(ECommError::kOpen, ENOENT));
    unsetenv(kPortListVariable);
    EXPECT_EQ(failure.kind, PortFailureKind::Missing);
    EXPECT_EQ(failure.Text(), "Cannot open /nonexistent/ttyUSB9: no such device. /nonexistent/ttyUSB9 does not exist: "
                              "check the cable and the port's name. Ports that exist: " + board.PortPath() + ".");
}

TEST(PortFailure, OnlyFailuresTheUserCanActOnGetABox) {
    testing::TempDir dir;
    std::ofstream(dir / "file") << "not a port";
    TCommPort port;
    try {
        port.Configure(9600, (dir / "file").string(), 1);
        FAIL() << "a plain file opened as a port";
    } catch (const ECommError& error) {
        const PortFailure notAPort = DiagnosePortFailure((dir / "file").string(), error);
        EXPECT_FALSE(notAPort.Actionable());
        EXPECT_TRUE(Contains(notAPort.Text(), "it is not a serial port")) << notAPort.Text();
        EXPECT_EQ(PortFailureMessage({notAPort}), std::nullopt);
        const PortFailure missing = DiagnosePortFailure("/nonexistent/x", ECommError(ECommError::kOpen, ENOENT));
        EXPECT_EQ(PortFailureMessage({notAPort, missing}), WarningMessage(missing.Text()));
    }
}

TEST(PortFailure, OperationsTellTheReasonAfterTheirOwnMessage) {
    SimulatorThread board, other;
    HoldingProcess holder(board.PortPath());
    QuickPort port;
    RecordingView view;
    PortNameTable ports{board.PortPath(), other.PortPath()};
    PagerImage image = StartupImage();
    const SquelchLevelTable levels = BuiltInSquelchLevelTable();

    EXPECT_FALSE(ReadPager({port, ports, 0, image, levels, view}));
    EXPECT_EQ(view.messages, std::vector{NoBoardOnReadMessage()}) << "the operation's own box, as it was";
    ASSERT_EQ(view.portFailures.size(), 1u);
    EXPECT_EQ(view.portFailures[0].kind, PortFailureKind::Held);
    EXPECT_TRUE(board.simulator().Requests().empty()) << "nothing is sent to a line another program holds";

    // The start-up check skips the port quietly when another one has a board ...
    view = RecordingView{};
    EXPECT_EQ(StartupBoardCheck(port, ports, view), std::optional<std::size_t>(1));
    EXPECT_TRUE(view.messages.empty());
    EXPECT_TRUE(view.portFailures.empty());
    // ... and tells why after the no-board box when none has.
    view = RecordingView{};
    EXPECT_EQ(StartupBoardCheck(port, {board.PortPath()}, view), std::nullopt);
    EXPECT_EQ(view.messages, std::vector{NoBoardMessage()});
    ASSERT_EQ(view.portFailures.size(), 1u);
    EXPECT_EQ(view.portFailures[0].port, board.PortPath());
}

}  // namespace
}  // namespace zr

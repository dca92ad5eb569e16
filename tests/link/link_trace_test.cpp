// The trace a technician sends: every event on the line, one line each, readable at a glance.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "cli_run.h"
#include "device_operations.h"
#include "device_texts.h"
#include "link_trace.h"
#include "pager_simulator.h"
#include "quick_port.h"
#include "recording_view.h"
#include "temp_dir.h"

namespace zr {
namespace {

using sim::SimulatorOptions;
using sim::SimulatorThread;
using testing::QuickPort;
using testing::RecordingView;
using testing::TempDir;

struct TraceLine {
    double ms = 0;
    std::string port, event, detail;
};

// "    12.480 ms  PORT  EVENT   DETAIL"
std::vector<TraceLine> ReadTrace(const std::filesystem::path& file) {
    std::vector<TraceLine> lines;
    std::ifstream in(file);
    for (std::string text; std::getline(in, text);) {
        std::istringstream fields(text);
        TraceLine line;
        std::string unit;
        fields >> line.ms >> unit >> line.port >> line.event;
        std::getline(fields >> std::ws, line.detail);
        EXPECT_EQ(unit, "ms") << text;
        lines.push_back(line);
    }
    return lines;
}

class LinkTraceTest : public ::testing::Test {
protected:
    void Start(SimulatorOptions options = {}) {
        simulator = std::make_unique<SimulatorThread>(options);
        ports = {simulator->PortPath()};
    }
    std::vector<TraceLine> Trace() {
        port.reset();  // the last reply is written when the port goes
        return ReadTrace(dir / "trace.txt");
    }

    TempDir dir;
    std::unique_ptr<SimulatorThread> simulator;
    PortNameTable ports;
    std::unique_ptr<CommPort> port =
        std::make_unique<TracedPort>(std::make_unique<QuickPort>(), std::make_shared<LinkTrace>(dir / "trace.txt"));
    RecordingView view;
    PagerImage image = StartupImage();
    SquelchLevelTable levels = BuiltInSquelchLevelTable();
};

TEST_F(LinkTraceTest, AWriteRefusedAtPieceFiveShowsWhichPieceFailedAndHow) {
    SimulatorOptions options;
    options.negativeAcknowledgeAt = 5;
    Start(options);
    EXPECT_FALSE(WritePager({*port, ports, 0, image, levels, view}));
    const auto lines = Trace();

    std::vector<std::string> events;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        events.push_back(lines[i].event);
        EXPECT_EQ(lines[i].port, ports[0]);
        if (i > 0) {
            EXPECT_LE(lines[i - 1].ms, lines[i].ms) << "line " << i;
        }
    }
    // Probe, reopen, version, tag, then the pieces up to the refused fifth.
    std::vector<std::string> expected{"open", "purge", "->", "<-", "close", "open", "purge", "->", "<-", "->", "<-",
                                      "purge"};
    for (int piece = 1; piece <= 5; ++piece) expected.insert(expected.end(), {"->", "<-"});
    expected.push_back("close");
    EXPECT_EQ(events, expected);

    EXPECT_EQ(lines[0].detail, "ok, 9600 baud, mode 1");
    EXPECT_EQ(lines[2].detail, "56 61 6E 74 6F 72 65 6C 69 78 33 52 03 00 00 00 00 88  (18 bytes: read '3' address 0 count 0)");
    const TraceLine& fifth = lines[lines.size() - 3];
    EXPECT_TRUE(fifth.detail.ends_with("(25 bytes: write '3' address 32 count 8, piece 5)")) << fifth.detail;
    const TraceLine& refusal = lines[lines.size() - 2];
    EXPECT_TRUE(refusal.detail.starts_with("56 61 6E 74 6F 72 65 6C 69 78 33 53 01 15 00 9C  (16 bytes in "))
        << refusal.detail;
    EXPECT_TRUE(refusal.detail.ends_with(": NOT acknowledged (payload 15))")) << refusal.detail;
    EXPECT_TRUE(lines[lines.size() - 4].detail.ends_with(": acknowledged)"));
}

TEST_F(LinkTraceTest, TimeOutsAndPortsThatWouldNotOpenAreInTheTrace) {
    SimulatorOptions silent;
    silent.silent = true;
    Start(silent);
    ports.insert(ports.begin(), "/nonexistent/ttyUSB9");
    EXPECT_FALSE(ProbeSelectedPort({*port, ports, 0, image, levels, view}));
    EXPECT_FALSE(ProbeSelectedPort({*port, ports, 1, image, levels, view}));
    const auto lines = Trace();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0].event, "open");
    EXPECT_EQ(lines[0].detail, "failed: serial port error 8 (No such file or directory)");
    EXPECT_EQ(lines[1].event, "open");
    EXPECT_EQ(lines[3].event, "->");
    EXPECT_EQ(lines[4].event, "timeout");
    EXPECT_TRUE(lines[4].detail.starts_with("no byte for ")) << lines[4].detail;
    EXPECT_TRUE(lines[4].detail.ends_with(" ms, 0 of 15 bytes received")) << lines[4].detail;
    EXPECT_EQ(lines[5].event, "purge");
}

TEST(LinkTraceCli, TraceOptionWritesTheFileOrSaysWhyNot) {
    TempDir dir;
    SimulatorThread board;
    const auto traced = testing::Cli("probe --port " + board.PortPath() + " --trace " + (dir / "t.txt").string());
    EXPECT_EQ(traced.status, 0);
    const auto lines = ReadTrace(dir / "t.txt");
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0].event, "open");

    const auto refused = testing::Cli("probe --port " + board.PortPath() + " --trace /nonexistent/dir/t.txt");
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.out.empty()) << "nothing was tried on the line";
}

TEST(LinkTraceCli, TheTimesOfAScanOfTwoBoardsNeverGoBack) {
    // Both lines are opened and asked at once, their lines in one file. Both boards trickle their
    // replies, the second a little faster: its reply begins after the first's and ends before it,
    // so a line stamped with its reply's first byte would run backwards.
    TempDir dir;
    SimulatorOptions slower, slow;
    slower.byteGap = std::chrono::milliseconds(40);
    slow.byteGap = std::chrono::milliseconds(39);
    SimulatorThread first(slower);
    SimulatorThread second(slow);
    ::setenv("ZR250PRO_PORTS", (first.PortPath() + ":" + second.PortPath()).c_str(), 1);
    const auto scan = testing::Cli("scan --trace " + (dir / "t.txt").string());
    ::unsetenv("ZR250PRO_PORTS");
    EXPECT_EQ(scan.status, 0) << scan.out;
    const auto lines = ReadTrace(dir / "t.txt");
    ASSERT_GE(lines.size(), 6u);
    std::set<std::string> ports;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ports.insert(lines[i].port);
        if (i > 0) {
            EXPECT_GE(lines[i].ms, lines[i - 1].ms) << "line " << i + 1;
        }
    }
    EXPECT_EQ(ports.size(), 2u);
}

// Each line is on disk as its event happens: a box left open, a crash or a kill loses none of it.
TEST(LinkTraceFile, EachLineIsOnDiskAsItsEventHappens) {
    TempDir dir;
    LinkTrace trace(dir / "t.txt");
    trace.Event("/dev/pts/9", "->", "56 61");
    trace.Event("/dev/pts/9", "<-", "56");
    const auto lines = ReadTrace(dir / "t.txt");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].event, "<-");
}

// A trace that stops taking lines (the disk full: here a file size limit) is said once on standard
// error, and the events after it still come and go without it.
TEST(LinkTraceFile, ATraceThatCannotBeWrittenIsSaidOnce) {
    TempDir dir;
    const auto errors = dir / "stderr.txt";
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        const int err = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(err, STDERR_FILENO);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{200, 200};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        LinkTrace trace(dir / "t.txt");
        for (int i = 0; i < 20; ++i) trace.Event("/dev/pts/9", "->", "56 61 6E 74 6F 72 65 6C 69 78 33 52");
        std::_Exit(trace.IsOpen() ? 3 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::ifstream in(errors);
    std::vector<std::string> said;
    for (std::string line; std::getline(in, line);) said.push_back(line);
    ASSERT_EQ(said.size(), 1u);
    EXPECT_NE(said[0].find("cannot be written"), std::string::npos) << said[0];
    EXPECT_NE(said[0].find("the work goes on without it"), std::string::npos) << said[0];
}

// What is no file is refused before it is opened: opening a FIFO would wait for a reader forever,
// before the port is touched.
TEST(LinkTraceFile, OnlyFilesTakeATrace) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    std::ofstream(dir / "old.txt") << "an old trace\n";
    const struct {
        std::filesystem::path target;
        std::string refusal;
    } cases[] = {{dir / "fifo", "it is a FIFO, not a file"},
                 {dir.path(), "it is a folder, not a file"},
                 {"/dev/null", "it is a device, not a file"},
                 {dir / "old.txt", ""},
                 {dir / "new.txt", ""}};
    for (const auto& target : cases) {
        EXPECT_EQ(TraceTargetRefusal(target.target), target.refusal) << target.target;
        EXPECT_EQ(LinkTrace(target.target).IsOpen(), target.refusal.empty()) << target.target;
    }
    SimulatorThread board;
    const auto refused = testing::Cli("probe --port " + board.PortPath() + " --trace " + (dir / "fifo").string());
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.out.empty()) << "nothing was tried on the line";
}

}  // namespace
}  // namespace zr

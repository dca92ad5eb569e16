// The start-up search for the board: every port asked at once, the first in list order chosen, against
// simulated boards on pseudo-terminals. Silent ports time out after a shortened reply time-out.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

#include "board_scan.h"
#include "device_operations.h"
#include "device_texts.h"
#include "pager_simulator.h"
#include "quick_port.h"
#include "recording_view.h"

namespace zr {
namespace {

using namespace std::chrono_literals;
using sim::RequestRecord;
using sim::SimulatorOptions;
using sim::SimulatorThread;
using testing::QuickPort;
using testing::RecordingView;

constexpr RequestRecord kPresence{51, 'R', 0, 0};
constexpr auto kShortTimeOut = 500ms;

enum class Line { Board, Silent, BadReply, SlowBoard, SteadyBoard, HangsUp };

class BoardScanTest : public ::testing::Test {
protected:
    // One simulator per line, listed in this order.
    void Lines(std::initializer_list<Line> lines) {
        for (Line line : lines) {
            SimulatorOptions options;
            options.silent = line == Line::Silent;
            options.badChecksumAt = line == Line::BadReply ? 1 : 0;
            options.byteGap = line == Line::SlowBoard ? 20ms : line == Line::SteadyBoard ? 80ms : 0ms;
            options.hangUpAt = line == Line::HangsUp ? 1 : 0;
            simulators.push_back(std::make_unique<SimulatorThread>(options));
            ports.push_back(simulators.back()->PortPath());
        }
    }
    std::size_t RequestsTo(std::size_t line) const { return simulators[line]->simulator().Requests().size(); }
    BoardScan Scan(std::chrono::milliseconds timeOut = kShortTimeOut) {
        return ScanPortsForBoard(port, ports, view, timeOut);
    }

    std::vector<std::unique_ptr<SimulatorThread>> simulators;
    PortNameTable ports;
    QuickPort port;
    RecordingView view;
};

TEST_F(BoardScanTest, TheFirstPortInListOrderWhoseBoardAnswersIsChosenAndLeftOpen) {
    struct Case {
        const char* name;
        std::initializer_list<Line> lines;
        std::optional<std::size_t> chosen;
    };
    const Case cases[] = {
        {"board first", {Line::Board, Line::Silent}, 0},
        {"board last", {Line::Silent, Line::BadReply, Line::Silent, Line::Board}, 3},
        {"a slow board before a quick one", {Line::SlowBoard, Line::Board}, 0},
        {"no board", {Line::Silent, Line::BadReply}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        simulators.clear();
        ports.clear();
        Lines(c.lines);
        EXPECT_EQ(Scan().found, c.chosen);
        EXPECT_EQ(port.IsOpen(), c.chosen.has_value());
        for (std::size_t line = 0; line < ports.size(); ++line) {
            // Every port up to the chosen one is asked exactly once; those after it at most once.
            if (!c.chosen || line <= *c.chosen)
                EXPECT_EQ(RequestsTo(line), 1u) << "line " << line;
            else
                EXPECT_LE(RequestsTo(line), 1u) << "line " << line;
            for (const auto& request : simulators[line]->simulator().Requests()) EXPECT_EQ(request, kPresence);
        }
        EXPECT_TRUE(view.messages.empty());
        port.Close();
    }
}

TEST_F(BoardScanTest, TheTimeOutCountsFromTheLastByteReceived) {
    // 15 reply bytes 80 ms apart take 1.2 s, more than twice the time-out, yet the line never stays
    // silent for a time-out: the board is there.
    Lines({Line::SteadyBoard});
    EXPECT_EQ(Scan().found, std::optional<std::size_t>(0));
}

TEST_F(BoardScanTest, ASilentPortCostsOneTimeOutAndAPortThatHangsUpIsGivenUpAtOnce) {
    // Bounds wide enough for a loaded machine, yet a doubled time-out (2 s) or a hang-up waited out
    // (3 s) falls outside them.
    struct Case {
        const char* name;
        Line line;
        std::chrono::milliseconds timeOut;
        std::chrono::milliseconds atLeast;
        std::chrono::milliseconds below;
    };
    const Case cases[] = {
        {"silent", Line::Silent, 1000ms, 1000ms, 1700ms},
        {"hangs up", Line::HangsUp, 3000ms, 0ms, 1500ms},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        simulators.clear();
        ports.clear();
        Lines({c.line});
        view.eventPumps = 0;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(Scan(c.timeOut).found, std::nullopt);
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_GE(took, c.atLeast);
        EXPECT_LT(took, c.below);
        EXPECT_EQ(RequestsTo(0), 1u);
        if (c.line == Line::Silent) {
            // Events are served every poll interval (30 ms) while the port is silent: some 60 times
            // in a second; a wait as long as the time-out would serve them only a few times.
            EXPECT_GE(view.eventPumps, 12);
        }
    }
}

TEST_F(BoardScanTest, PortsThatCannotBeOpenedCountAsPortsWithoutABoard) {
    Lines({Line::Board, Line::Board});
    TCommPort other;
    other.Configure(9600, ports[0], 1);  // another program holds the first line
    ports.insert(ports.begin(), "/nonexistent/ttyUSB9");

    EXPECT_EQ(Scan().found, std::optional<std::size_t>(2));
    EXPECT_EQ(RequestsTo(0), 0u) << "nothing is sent to a line another program holds";
    EXPECT_TRUE(port.IsOpen());
}

TEST_F(BoardScanTest, EveryOtherPortIsClosedAgainAfterTheScan) {
    Lines({Line::Silent, Line::Board, Line::Silent});
    EXPECT_EQ(Scan().found, std::optional<std::size_t>(1));
    port.Close();
    for (const auto& name : ports) {
        TCommPort again;
        EXPECT_NO_THROW(again.Configure(9600, name, 1)) << name;
    }
    EXPECT_EQ(ScanPortsForBoard(port, {}, view).found, std::nullopt);
}

TEST_F(BoardScanTest, TheStartUpCheckReportsAMissingBoardOnceAndClosesThePort) {
    Lines({Line::Silent});
    const auto found = StartupBoardCheck(port, ports, view);
    EXPECT_EQ(found, std::nullopt);
    EXPECT_EQ(view.messages, std::vector{NoBoardMessage()});
    EXPECT_FALSE(port.IsOpen());
}

}  // namespace
}  // namespace zr

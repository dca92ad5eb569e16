// The simulated fleet behind one board, and the quiet look behind the board that waiting for the
// next pager relies on.
#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "device_operations.h"
#include "pager_simulator.h"
#include "recording_view.h"
#include "temp_dir.h"

namespace zr {
namespace {

bool BecomesConnected(sim::PagerSimulator& simulator, unsigned pager) {
    for (int i = 0; i < 200 && simulator.ConnectedPager() != pager; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return simulator.ConnectedPager() == pager;
}

PeekResult Peek(const std::string& port) {
    TCommPort line;
    const PortNameTable ports{port};
    PagerImage image{};
    testing::RecordingView view;
    const SquelchLevelTable levels = BuiltInSquelchLevelTable();
    const PeekResult result = PeekPagerMemory({line, ports, 0, image, levels, view}, 240, 8);
    EXPECT_TRUE(view.messages.empty());
    return result;
}

TEST(FleetSimulator, PagersTakeTurnsWithAMomentWithoutOne) {
    testing::TempDir dir;
    sim::SimulatorOptions options;
    options.pagers = 3;
    options.swapGap = std::chrono::milliseconds(200);
    options.control = dir / "control";
    sim::SimulatorThread fleet(options);
    sim::PagerSimulator& simulator = fleet.simulator();
    EXPECT_EQ(simulator.ConnectedPager(), 1u);
    EXPECT_EQ(Peek(fleet.PortPath()), PeekResult::Read);

    std::ofstream(options.control) << "remove\n";
    ASSERT_TRUE(BecomesConnected(simulator, 0));
    // The board still answers its presence test; the pager's memory goes unanswered.
    EXPECT_EQ(Peek(fleet.PortPath()), PeekResult::NoPager);

    std::ofstream(options.control) << "insert 3\n";
    ASSERT_TRUE(BecomesConnected(simulator, 3));
    const auto asked = std::chrono::steady_clock::now();
    simulator.SwapPager();
    ASSERT_TRUE(BecomesConnected(simulator, 0));
    ASSERT_TRUE(BecomesConnected(simulator, 1)) << "after the last pager, the first";
    EXPECT_GE(std::chrono::steady_clock::now() - asked, options.swapGap);

    EXPECT_EQ(Peek((dir / "no-such-port").string()), PeekResult::NoBoard);
}

}  // namespace
}  // namespace zr

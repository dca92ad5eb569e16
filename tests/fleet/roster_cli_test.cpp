// zr250pro-cli roster, run as a technician runs it.
#include <gtest/gtest.h>

#include <fstream>

#include "cli_run.h"
#include "fleet_check.h"
#include "pager_image.h"
#include "spawned_programs.h"
#include "temp_dir.h"

namespace zr {
namespace {

using testing::Cli;

void WriteText(const std::filesystem::path& path, const std::string& text) { std::ofstream(path) << text; }

TEST(RosterCli, CheckExitsZeroOneOrTwo) {
    testing::TempDir dir;
    const std::string base = (dir / "base.tbl").string(), roster = (dir / "r.csv").string();
    ASSERT_EQ(Cli("default -o " + base).status, 0);

    WriteText(roster, "unit,call1.tone1,call1.tone2\nP-01,349.0,600.9\nP-02,368.5,600.9\n");
    const auto clean = Cli("roster check " + base + " " + roster);
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.out, "2 units, no problems\n");

    WriteText(roster, "unit,call1.tone1,call1.tone2\nP-01,349.0,600.9\nP-02,9999,600.9\nP-03,349.0,600.9\n");
    const auto problems = Cli("roster check " + base + " " + roster);
    EXPECT_EQ(problems.status, 1);
    EXPECT_EQ(problems.out,
              "P-02, call1.tone1 \"9999\" (line 3, column 2):\n"
              "ZR250Pro: Please insert a number between 288.5 to 2468.2\n"
              "tone plan: P-01 call1 and P-03 call1 are the same individual call 349.0/600.9 Hz\n"
              "3 units, 1 refused value, 1 tone plan problem\n");

    WriteText(roster, "unit,call1.tone1\nP-01,349.0\nP-01,368.5\n");
    EXPECT_EQ(Cli("roster check " + base + " " + roster).status, 2);
    EXPECT_EQ(Cli("roster check " + (dir / "missing.tbl").string() + " " + roster).status, 2)
        << "the roster is read first";
    WriteText(roster, "unit,call1.tone1\nP-01,349.0\n");
    const auto missingBase = Cli("roster check " + (dir / "missing.tbl").string() + " " + roster);
    EXPECT_EQ(missingBase.status, 1);
    EXPECT_EQ(missingBase.out, "ZR250Pro: Open Error!\n");
}

TEST(RosterCli, InputEchoedInMessagesShowsItsControlBytesEscaped) {
    testing::TempDir dir;
    const std::string base = (dir / "base.tbl").string(), roster = (dir / "r.csv").string();
    ASSERT_EQ(Cli("default -o " + base).status, 0);

    // A cell the field cannot take, holding a bell and an escape sequence.
    WriteText(roster, "unit;reminder\nP-01;\"60\aSecond\x1b[2J\"\n");
    const auto cell = Cli("roster check " + base + " " + roster);
    EXPECT_EQ(cell.status, 1);
    EXPECT_EQ(cell.out, "P-01, reminder \"60\\x07Second\\x1b[2J\" (line 2, column 2):\n"
                        "reminder: \"60\\x07Second\\x1b[2J\" is not an item of the list\n"
                        "1 unit, 1 refused value, 0 tone plan problems\n");

    // A NUL in a unit's name.
    std::ofstream(roster, std::ios::binary) << std::string("unit\nP\0\n", 8);
    const auto name = Cli(std::vector<std::string>{"roster", "check", base, roster});
    EXPECT_EQ(name.status, 2);
    EXPECT_NE(name.err.find(roster + " line 2, column 1: the unit name \"P\\x00\" holds the control byte \\x00"),
              std::string::npos)
        << name.err;
    EXPECT_EQ(name.err.find('\0'), std::string::npos);
}

TEST(RosterCli, TheBaseIsTakenAsTheWindowsOpenAndLoadTakeIt) {
    // A base the load rewrites: privacy switches Push To Listen off, and a reminder of 100 s is the
    // 60 s item. Every unit starts from the base as loaded, and a cell gives what `set` gives.
    testing::TempDir dir;
    const auto base = dir / "base.tbl", roster = dir / "r.csv", viaSet = dir / "set.tbl";
    PagerImage image = StartupImage();
    image[67] = 2;
    image[69] = 0x87;
    image[70] = 100;
    testing::WriteAll(base, {image.bytes.begin(), image.bytes.end()});
    WriteText(roster, "unit,save_voice\nA,true\nB,\n");

    const auto checked = CheckFleet(base, roster, ToneEntryMode::Standard);
    ASSERT_TRUE(std::holds_alternative<CheckedFleet>(checked));
    const auto& units = std::get<CheckedFleet>(checked).units;
    ASSERT_EQ(units.size(), 2u);
    EXPECT_EQ(units[1].image[69], 0x85);
    EXPECT_EQ(units[1].image[70], 120);
    ASSERT_EQ(Cli("set " + base.string() + " save_voice=true -o " + viaSet.string()).status, 0);
    const auto setBytes = testing::ReadAll(viaSet);
    EXPECT_EQ(std::vector<std::uint8_t>(units[0].image.bytes.begin(), units[0].image.bytes.end()), setBytes);
}

}  // namespace
}  // namespace zr

// zr250pro-cli set, run as a technician runs it.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "cli_run.h"
#include "temp_dir.h"
#include "pager_image.h"

namespace zr {
namespace {

using testing::Cli;
using testing::Contains;

struct CliSet : ::testing::Test {
    testing::TempDir dir;
    std::string d = (dir / "d.tbl").string();
    std::string e = (dir / "e.tbl").string();

    void SetUp() override { ASSERT_EQ(Cli("default -o " + d).status, 0); }
    std::string Diff() { return Cli("diff " + d + " " + e).out; }
};

TEST_F(CliSet, AutoSpacingTakesTheTwelveAndAHalfKilohertzStep) {
    ASSERT_EQ(Cli("set " + d + " -o " + e + " frequency=1590125 spacing=Auto").status, 0);
    EXPECT_EQ(Diff(), "frequency: 1590000 -> 1590125\nspacing_code: 32 -> 33\npllr: 00008011 -> 00010011\n"
                      "plln: 000AC000 -> 00158080\n");
}

TEST_F(CliSet, UserModeToneReplacesTheDefaultCode) {
    // The built-in image as stored: call 1 is on as at start-up, so Open leaves its codes alone.
    const PagerImage startup = StartupImage();
    testing::WriteAll(d, std::vector<std::uint8_t>(startup.bytes.begin(), startup.bytes.end()));
    ASSERT_EQ(Cli("set " + d + " -o " + e + " --user-mode call1.tone2=707.3").status, 0);
    const auto bytes = testing::ReadAll(e);
    ASSERT_EQ(bytes.size(), 256u);
    EXPECT_EQ(bytes[18], 0x8B);
    EXPECT_EQ(bytes[19], 0x95);
    const auto differences = Diff();
    EXPECT_TRUE(Contains(differences, "call1.tone2_code: 4B95 -> 8B95\n")) << differences;
}

TEST_F(CliSet, ARefusedEntryPrintsTheMessageAndWritesNothing) {
    const auto refused = Cli("set " + d + " -o " + e + " battery_save=20 call1.tone1=707.3");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out,
              "ZR250Pro: Tone Frequency Error!\n\nPlease check the tone spacing rule. \n[1]Two tones in the same call "
              "address should not be the same.\n[2]Any two tones should be separated by minimum of 1.5%. \n\nThe "
              "original tone frequency is restored.\n");
    EXPECT_FALSE(std::filesystem::exists(e));

    const auto range = Cli("set " + d + " nrssi=1.2");
    EXPECT_EQ(range.status, 1);
    EXPECT_EQ(range.out, "ZR250Pro: Please insert a number between 0 to 1\n");
    EXPECT_EQ(Cli("set " + d + " frequency=1740001").out,
              "ZR250Pro V1.0.7: Frequency setting error(1350000 < = Frequency < =1740000 )\n");
    EXPECT_EQ(Cli("diff " + d + " " + d).status, 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "d.BAK"));
}

TEST_F(CliSet, WithoutOutputTheFileIsSavedWithItsBackup) {
    const auto before = testing::ReadAll(d);
    ASSERT_EQ(Cli("set " + d + " battery_save=20 auto_monitor=3.5 \"reminder=60  Second\"").status, 0);
    EXPECT_EQ(testing::ReadAll(dir / "d.BAK"), before);
    const auto after = testing::ReadAll(d);
    EXPECT_EQ(after[58], 20);
    EXPECT_EQ(after[65], 7);
    EXPECT_EQ(after[70], 120);
}

TEST_F(CliSet, EditsFollowEachOtherAsInTheWindow) {
    // The bandwidth pick narrows the spacing rule for the tone after it: 1006.0 is 0.6 % from 1000.0.
    ASSERT_EQ(Cli("set " + d + " -o " + e +
                  " --user-mode call1.tone1=1000 decoder_bandwidth=0.5 call2.tone1=1006 call2.on=true "
                  "\"band=400-499 MHz\" \"spacing=6.25 K\" frequency=4620125 privacy=true")
                  .status,
              0);
    const auto shown = Cli("show --stored " + e).out;
    for (const char* line : {"call2.on: true\n", "call2.tone1: 1006.0\n", "decoder_bandwidth: 0.5\n",
                             "spacing_code: 2\n", "plln: 0089B100\n", "push_to_listen: Disable\n", "privacy: true\n"})
        EXPECT_NE(shown.find(line), std::string::npos) << line;
    // At the built-in 1.5 % the same tones conflict once call 2 is switched on.
    EXPECT_EQ(Cli("set " + d + " -o " + e + " --user-mode call1.tone1=1000 call2.tone1=1006 call2.on=true").status, 1);
}

TEST_F(CliSet, AFrequencyStoresTheCodeOfItsSpacingItem) {
    auto bytes = testing::ReadAll(d);
    bytes[10] = 3;  // "5 K", which the 135-174 MHz band does not have: the window shows "12.5 K"
    testing::WriteAll(d, bytes);
    ASSERT_EQ(Cli("set " + d + " -o " + e + " frequency=1590125").status, 0);
    // Open already stored the code of "12.5 K" and its words; the frequency then takes that step.
    EXPECT_EQ(Diff(), "frequency: 1590000 -> 1590125\nspacing: null -> 12.5 K\nspacing_code: 3 -> 0\n"
                      "pllr: 00008011 -> 00010011\nplln: 000AC000 -> 00158080\n");
    bytes[10] = 9;  // selects no spacing at all
    testing::WriteAll(d, bytes);
    EXPECT_EQ(Cli("set " + d + " -o " + e + " frequency=1590125").status, 2);
    EXPECT_EQ(Cli("set " + d + " -o " + e + " spacing=Auto frequency=1590125").status, 0);
}

TEST_F(CliSet, ASwitchSetToTheValueItHasLeavesTheImageAsItWas) {
    // The built-in image has these switches on and off; a click made anyway would change bytes (privacy
    // on, for one, also turns Push To Listen on).
    const auto before = testing::ReadAll(d);
    for (const char* edit : {"privacy=false", "narrowband=false", "fix_alert=false", "call2.on=false",
                             "call1.on=true", "save_voice=true", "priority_max_volume=true"}) {
        ASSERT_EQ(Cli("set " + d + " -o " + e + " " + edit).status, 0) << edit;
        EXPECT_EQ(testing::ReadAll(e), before) << edit;
    }
}

TEST_F(CliSet, ValuesTheWindowCannotTakeAreUsageErrors) {
    for (const char* edit : {"band=200-299", "spacing=Auto\\ 2", "call1.on=yes", "checksum=0000", "tone9=1",
                             "\"push_to_listen=Vibration Mode Only\" \"reset_control=Revert SQ\"", "noequals"})
        EXPECT_EQ(Cli("set " + d + " -o " + e + " " + edit).status, 2) << edit;
    EXPECT_FALSE(std::filesystem::exists(e));
    // Push To Listen off offers all six reset modes.
    ASSERT_EQ(Cli("set " + d + " -o " + e + " push_to_listen=Disable \"reset_control=Revert SQ\"").status, 0);
    EXPECT_EQ(testing::ReadAll(e)[67], 2);
}

TEST_F(CliSet, OpenRepairsTheSquelchPairFirst) {
    auto bytes = testing::ReadAll(d);
    bytes[79] = 70;
    bytes[76] = 84;
    testing::WriteAll(d, bytes);
    ASSERT_EQ(Cli("set " + d + " -o " + e + " squelch_level=3").status, 0);
    EXPECT_EQ(testing::ReadAll(e)[79], 75);
    ASSERT_EQ(Cli("set " + d + " -o " + e + " battery_save=15").status, 0);
    const auto repaired = testing::ReadAll(e);
    EXPECT_EQ(repaired[79], 68);
    EXPECT_EQ(repaired[76], 82);
}

}  // namespace
}  // namespace zr

// zr250pro-cli's offline commands, run as a technician runs them.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "pager_image.h"
#include "cli_run.h"
#include "temp_dir.h"

namespace zr {
namespace {

using testing::Cli;
using testing::Contains;

TEST(CliOffline, DefaultThenShow) {
    testing::TempDir dir;
    const auto d = (dir / "d.tbl").string();
    ASSERT_EQ(Cli("default -o " + d).status, 0);
    const auto shown = Cli("show " + d);
    EXPECT_EQ(shown.status, 0);
    // The window's start-up load takes 159.0000 MHz on the 25 kHz Auto step and recomputes the words.
    for (const char* line : {"frequency: 1590000\n", "band: 135-174 MHz\n", "spacing: Auto\n", "spacing_code: 32\n",
                             "call1.on: true\n", "call1.tone1: 669.9\n", "call1.tone2: 707.3\n", "pllr: 00008011\n",
                             "plln: 000AC000\n", "low_battery: \n"})
        EXPECT_TRUE(Contains(shown.out, line)) << line;
    // The low-battery code selects no list item: an empty box in the window; the byte as stored.
    EXPECT_TRUE(Contains(Cli("show --stored " + d).out, "low_battery: 103 (no list item)\n"));
    const auto json = Cli("show --json " + d);
    EXPECT_EQ(json.status, 0);
    for (const char* part : {"\"frequency\": 1590000", "\"band\": \"135-174 MHz\"", "\"call1.on\": true",
                             "\"low_battery\": \"\"", "\"checksum_ok\": false", "\"reminder\": \"120 Second\""})
        EXPECT_TRUE(Contains(json.out, part)) << part;
}

// The built-in image as stored holds words no load leaves; show takes the file as Open does, and
// --stored shows its bytes as they are.
TEST(CliOffline, ShowLoadsAsOpenDoesAndStoredShowsTheBytes) {
    testing::TempDir dir;
    const auto raw = (dir / "raw.tbl").string();
    const auto d = (dir / "d.tbl").string();
    const PagerImage startup = StartupImage();
    testing::WriteAll(raw, std::vector<std::uint8_t>(startup.bytes.begin(), startup.bytes.end()));
    ASSERT_EQ(Cli("default -o " + d).status, 0);
    const auto stored = Cli("show --stored " + raw).out;
    EXPECT_TRUE(Contains(stored, "pllr: 00010011\nplln: 00158000\n")) << stored;
    // Opened after start-up, the raw image gets the window's words; call 1, already on since
    // start-up, is not taken again, so its stored tone code stays, while start-up re-coded it.
    const auto opened = Cli("show " + raw).out;
    EXPECT_TRUE(Contains(opened, "pllr: 00008011\nplln: 000AC000\n")) << opened;
    EXPECT_TRUE(Contains(opened, "call1.tone2_code: 4B95\n")) << opened;
    EXPECT_TRUE(Contains(Cli("show " + d).out, "call1.tone2_code: 8B95\n"));
    // What a load leaves loads again unchanged.
    EXPECT_EQ(Cli("show --json --stored " + d).out, Cli("show --json " + d).out);
    // A frequency outside its band: the load's messages come first, in order; with --json they go
    // to standard error and the output stays JSON.
    auto bytes = testing::ReadAll(d);
    bytes[3] = 1;
    bytes[4] = 0;
    const auto outside = (dir / "outside.tbl").string();
    testing::WriteAll(outside, bytes);
    const std::string refused = "ZR250Pro V1.0.7: Frequency setting error(1350000 < = Frequency < =1740000 )\n";
    EXPECT_EQ(Cli("show " + outside).out.rfind(refused + refused + refused + "frequency: 1090000\n", 0), 0u);
    EXPECT_EQ(Cli("show --json " + outside).out.rfind("{\n", 0), 0u);

    // diff keeps comparing the bytes as stored.
    const auto differences = Cli("diff " + raw + " " + d);
    EXPECT_EQ(differences.status, 1);
    EXPECT_TRUE(Contains(differences.out, "pllr: 00010011 -> 00008011\n")) << differences.out;
}

TEST(CliOffline, SealAddsTheTagToTheChecksum) {
    testing::TempDir dir;
    const auto d = (dir / "d.tbl").string();
    const auto s = (dir / "s.tbl").string();
    ASSERT_EQ(Cli("default -o " + d).status, 0);
    ASSERT_EQ(Cli("seal " + d + " -o " + s).status, 0);
    const auto sealed = testing::ReadAll(s);
    ASSERT_EQ(sealed.size(), 256u);
    // The start-up image as loaded sums to 8655 over offsets 16..239, and "ZR250Pro V107" with its
    // NUL to 898.
    EXPECT_EQ(sealed[254] * 256u + sealed[255], 8655u + 898u);
    EXPECT_TRUE(Contains(Cli("show " + s).out, "checksum_ok: true\n"));
}

TEST(CliOffline, DiffNamesFieldsAndCarriedBytes) {
    testing::TempDir dir;
    const auto a = (dir / "a.tbl").string();
    const auto b = (dir / "b.tbl").string();
    ASSERT_EQ(Cli("default -o " + a).status, 0);
    EXPECT_EQ(Cli("diff " + a + " " + a).status, 0);
    auto bytes = testing::ReadAll(a);
    bytes[58] = 20;
    bytes[129] = 7;
    testing::WriteAll(b, bytes);
    const auto text = Cli("diff " + a + " " + b);
    EXPECT_EQ(text.status, 1);
    EXPECT_EQ(text.out, "battery_save: 15 -> 20\noffset_129: 0 -> 7\n");
    const auto json = Cli("diff --json " + a + " " + b);
    EXPECT_TRUE(Contains(json.out, "\"battery_save\": [15, 20]")) << json.out;
    EXPECT_TRUE(Contains(json.out, "\"offset_129\": [0, 7]"));
}

TEST(CliOffline, ErrorsAndUsage) {
    testing::TempDir dir;
    const auto missing = Cli("show " + (dir / "missing.tbl").string());
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "ZR250Pro: Open Error!\n");
    EXPECT_EQ(Cli("default -o " + (dir / "no" / "such" / "d.tbl").string()).out, "ZR250Pro: Save Error!\n");
    EXPECT_EQ(Cli("").status, 2);
    EXPECT_EQ(Cli("show").status, 2);
    EXPECT_EQ(Cli("frobnicate").status, 2);
    for (const char* command : {"", "default", "show", "diff", "seal"}) {
        const auto help = Cli(std::string(command) + " --help");
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_TRUE(Contains(help.out, "Usage")) << command;
    }
}

TEST(CliOffline, ShowSurvivesAnyFile) {
    testing::TempDir dir;
    testing::WriteAll(dir / "empty.tbl", {});
    EXPECT_EQ(Cli("show --json " + (dir / "empty.tbl").string()).status, 0);
    std::vector<std::uint8_t> junk(256, 0xFF);
    testing::WriteAll(dir / "junk.tbl", junk);
    const auto shown = Cli("show --json " + (dir / "junk.tbl").string());
    EXPECT_EQ(shown.status, 0);
    EXPECT_TRUE(Contains(shown.out, R"("tag": "\\xFF)")) << shown.out;
}

}  // namespace
}  // namespace zr

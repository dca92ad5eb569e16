// zr250pro-cli's offline commands, run as a technician runs them.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <numeric>
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
    const auto bytes = testing::ReadAll(d);
    const PagerImage startup = StartupImage();
    EXPECT_EQ(bytes, std::vector<std::uint8_t>(startup.bytes.begin(), startup.bytes.end()));
    const auto shown = Cli("show " + d);
    EXPECT_EQ(shown.status, 0);
    for (const char* line : {"frequency: 1590000\n", "band: 135-174 MHz\n", "spacing: Auto\n", "spacing_code: 32\n",
                             "call1.on: true\n", "call1.tone1: 669.9\n", "call1.tone2: 707.3\n", "pllr: 00010011\n",
                             "plln: 00158000\n"})
        EXPECT_TRUE(Contains(shown.out, line)) << line;
    const auto json = Cli("show --json " + d);
    EXPECT_EQ(json.status, 0);
    for (const char* part : {"\"frequency\": 1590000", "\"band\": \"135-174 MHz\"", "\"call1.on\": true",
                             "\"low_battery\": null", "\"checksum_ok\": false", "\"reminder\": \"120 Second\""})
        EXPECT_TRUE(Contains(json.out, part)) << part;
}

TEST(CliOffline, SealAddsTheTagToTheChecksum) {
    testing::TempDir dir;
    const auto d = (dir / "d.tbl").string();
    const auto s = (dir / "s.tbl").string();
    ASSERT_EQ(Cli("default -o " + d).status, 0);
    ASSERT_EQ(Cli("seal " + d + " -o " + s).status, 0);
    const auto sealed = testing::ReadAll(s);
    ASSERT_EQ(sealed.size(), 256u);
    const unsigned tag = std::accumulate(kSystemTag.begin(), kSystemTag.end(), 0u,
                                         [](unsigned sum, char c) { return sum + static_cast<unsigned char>(c); });
    EXPECT_EQ(sealed[254] * 256u + sealed[255], 8411u + tag);
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

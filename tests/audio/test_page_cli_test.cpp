// zr250pro-cli page, roster page and listen as a technician runs them: a fleet unit paged into a
// file and heard back with the units it alerts, and the refusals.
#include <gtest/gtest.h>

#include <fstream>

#include "cli_run.h"
#include "temp_dir.h"

namespace zr {
namespace {

using testing::Cli;

TEST(TestPageCli, AUnitPagedByNameIsHeardBackAsAlertingItAndNearlyItsNeighbour) {
    testing::TempDir dir;
    const std::string base = (dir / "base.tbl").string(), roster = (dir / "fleet.csv").string(),
                      page = (dir / "page.flac").string();
    ASSERT_EQ(Cli("default -o " + base).status, 0);
    // P-02 answers 1.4 % above P-01's tone 1 with a 0.5 % decoder: it nearly alerts.
    std::ofstream(roster) << "unit,call1.tone1,call1.tone2,decoder_bandwidth\nP-01,349.0,600.9,1.5\n"
                             "P-02,354.0,600.9,0.5\nP-03,1006.9,1472.9,1.5\n";
    const auto paged = Cli("roster page " + base + " " + roster + " P-01 P-03 --user-mode --tone2-seconds 2 -o " + page);
    ASSERT_EQ(paged.status, 0);
    EXPECT_EQ(paged.out, "paged P-01 call 1 (349.0/600.9 Hz)\npaged P-03 call 1 (1006.9/1472.9 Hz)\n");

    const auto heard = Cli("listen " + page + " --roster " + base + " " + roster + " --user-mode");
    EXPECT_EQ(heard.status, 0);
    EXPECT_EQ(heard.out,
              "call at 0.00 s: 349.0 Hz 1.0 s, 600.9 Hz 2.0 s\n"
              "  alerts P-01 (call 1, 0.00 % off, bandwidth 1.5 %)\n"
              "  nearly P-02 (call 1, 1.41 % off: 0.91 % outside its bandwidth of 0.5 %)\n"
              "call at 4.00 s: 1006.9 Hz 1.0 s, 1472.9 Hz 2.0 s\n"
              "  alerts P-03 (call 1, 0.00 % off, bandwidth 1.5 %)\n"
              "2 pages in 7.00 s of sound\n");
    const auto json = Cli("listen " + page + " --json");
    EXPECT_EQ(json.status, 0);
    EXPECT_NE(json.out.find("{\"pages\": [\n    {\"start\": 0.000, \"kind\": \"call\", \"tones\": [{\"hz\": 349.00"), std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("], \"seconds\": 7.000, \"rate\": 48000, \"channels\": 1}\n"), std::string::npos);
}

TEST(TestPageCli, RefusalsSayWhyAndWriteNothing) {
    testing::TempDir dir;
    const std::string base = (dir / "base.tbl").string(), out = (dir / "page.wav").string();
    ASSERT_EQ(Cli("default -o " + base).status, 0);
    ASSERT_EQ(Cli("page " + base + " --call 1 -o " + out).status, 0);
    std::ofstream(dir / "fleet.csv") << "unit,call1.tone1\nP-01,349.0\n";
    struct Case {
        std::string arguments;
        int status;
    } cases[] = {
        {"page " + base + " --call 2 -o " + out, 1},  // call 2 of the built-in image is switched off
        {"page " + base + " --call 1", 2},            // neither a file nor --play
        {"page " + base + " -o " + out, 2},           // no page named
        {"page " + base + " --call 1 --tone1-seconds 0 -o " + out, 2},
        {"page " + base + " --call 5 -o " + out, 2},
        {"roster page " + base + " " + (dir / "fleet.csv").string() + " P-09 -o " + out, 2},
        {"listen " + base, 1},  // a table file is no recording
        {"listen " + (dir / "missing.wav").string(), 1},
    };
    const auto before = testing::ReadAll(out);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        EXPECT_EQ(Cli(c.arguments).status, c.status);
    }
    EXPECT_EQ(testing::ReadAll(out), before);
    EXPECT_EQ(Cli("page " + base + " --call 2 --force -o " + out).status, 0);
}

}  // namespace
}  // namespace zr

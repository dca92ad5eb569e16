// roster read and roster verify against the fleet simulator: a fleet kept as files and a roster,
// written into fresh pagers, and verified; pagers that stray from the plan found as they stray.
#include <gtest/gtest.h>

#include <fstream>

#include "cli_run.h"
#include "image_identity.h"
#include "pager_image.h"
#include "roster.h"
#include "spawned_programs.h"

namespace zr {
namespace {

using testing::Cli;
using testing::Simulator;

struct FleetRead : ::testing::Test {
    testing::TempDir dir;
    std::string base = (dir / "base.tbl").string();
    std::string roster = (dir / "fleet.csv").string();

    void SetUp() override {
        ASSERT_EQ(Cli({"default", "-o", base}).status, 0);
        std::ofstream(roster) << "unit,call1.tone1,call1.tone2,privacy\nP-01,349.0,600.9,\nP-02,368.5,600.9,true\n"
                                 "P-03,389.0,600.9,\n";
    }

    std::string control = (dir / "sim-control").string();

    // A simulated fleet whose pagers swap once written; ReadBack makes them swap once read as well.
    std::vector<std::string> FleetOptions() const {
        return {"--pagers", "3", "--auto-swap", "--swap-gap", "0", "--control", control};
    }

    // Each fleet is written with a log of its own. The writer reads every pager before writing it, so
    // pagers swap after a whole read only once the fleet is written.
    void WriteFleet(const std::string& port, const std::string& csv) {
        const auto run = Cli({"roster", "write", "--port", port, base, csv, "--log", csv + ".log", "--wait"});
        ASSERT_EQ(run.status, 0) << run.err;
        std::ofstream(control) << "swap-after-read\n";
    }
};

TEST_F(FleetRead, AFleetReadWrittenIntoFreshPagersVerifiesAsPlanned) {
    const std::string kept = (dir / "kept").string(), back = (dir / "back.csv").string();
    {
        Simulator fleet(dir, FleetOptions());
        WriteFleet(fleet.link(), roster);
        ::usleep(200000);
        // A file of that name already there is kept, and the pager takes the next number.
        std::filesystem::create_directory(kept);
        std::ofstream(dir / "kept" / "pager-002.tbl") << "mine";
        const auto read = Cli({"roster", "read", "--port", fleet.link(), "--out", kept, "--base", base, "--roster",
                               back, "--wait", "--count", "3"});
        EXPECT_EQ(read.status, 0) << read.err;
        EXPECT_EQ(read.out, "pager-001.tbl: read\npager-002-2.tbl: read\npager-003.tbl: read\n3 pagers kept in " +
                                kept + "\n");
        EXPECT_EQ(testing::ReadAll(dir / "kept" / "pager-002.tbl").size(), 4u);
        const auto csv = std::get<std::string>(ReadTextFile(back));
        EXPECT_EQ(csv.substr(0, csv.find('\r')), "unit,call1.tone1,call1.tone2,privacy");
        // A roster is never written over.
        EXPECT_EQ(Cli({"roster", "read", "--port", fleet.link(), "--out", kept, "--roster", back}).status, 2);
        // Nor is a pager read for a folder that cannot take its file.
        const auto readOnly = dir / "read-only";
        std::filesystem::create_directory(readOnly);
        std::filesystem::permissions(readOnly,
                                     std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        const auto refused = Cli({"roster", "read", "--port", fleet.link(), "--out", readOnly.string(), "--count", "1"});
        EXPECT_EQ(refused.status, 2);
        EXPECT_NE(refused.err.find(readOnly.string() + ": cannot be written: Permission denied"), std::string::npos)
            << refused.err;
    }
    Simulator fresh(dir, FleetOptions());
    WriteFleet(fresh.link(), back);
    ::usleep(200000);
    const std::string log = (dir / "verify.csv").string();
    const auto verify = Cli({"roster", "verify", "--port", fresh.link(), base, back, "--log", log, "--wait"});
    EXPECT_EQ(verify.status, 0) << verify.err;
    EXPECT_EQ(verify.out, "pager-001: as planned\npager-002-2: as planned\npager-003: as planned\n"
                          "3 pagers read, 3 as planned\n");
    const auto rows = std::get<std::vector<CsvRow>>(ParseCsv(std::get<std::string>(ReadTextFile(log))));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].cells, (std::vector<std::string>{"time", "port", "unit", "outcome", "differences", "image"}));
    EXPECT_EQ(rows[2].cells.at(2), "pager-002-2");
    EXPECT_EQ(rows[2].cells.at(3), "as planned");
    // Each line names what the pager holds as the write log names the image sent.
    const auto written = std::get<std::vector<CsvRow>>(ParseCsv(std::get<std::string>(ReadTextFile(back + ".log"))));
    for (std::size_t row = 1; row <= 3; ++row) EXPECT_EQ(rows[row].cells.at(5), written.at(row).cells.at(8));
}

// A pager whose speaker thresholds belong to no squelch level holds other bytes than a Write sends,
// even though the Read repairs them to exactly the planned pair.
TEST_F(FleetRead, APagerWhoseSquelchPairTheReadRepairsIsNotAsPlanned) {
    std::ofstream(roster) << "unit,call1.tone1,call1.tone2\nP-01,349.0,600.9\n";
    const std::string sent = (dir / "sent").string();
    {
        Simulator simulator(dir, {});
        ASSERT_EQ(Cli({"roster", "write", "--port", simulator.link(), base, roster, "--log", roster + ".log", "--out",
                       sent, "--wait"})
                      .status,
                  0);
    }
    auto bytes = testing::ReadAll(dir / "sent" / "P-01.tbl");
    ASSERT_EQ(bytes.size(), kImageSize);
    bytes[76] = 20;  // speaker on and off: no level's pair (the plan's is 82 and 68)
    bytes[79] = 10;
    PagerImage held{};
    std::copy(bytes.begin(), bytes.end(), held.bytes.begin());
    SetWord16(held, kChecksumOffset, ImageChecksum(held));
    const auto table = dir / "strayed.tbl";
    std::ofstream(table, std::ios::binary).write(reinterpret_cast<const char*>(held.bytes.data()), kImageSize);

    Simulator simulator(dir, {"--table", table.string()});
    std::ofstream(dir / "answers") << "\n";
    const std::string log = (dir / "verify.csv").string();
    const auto verify = testing::Cli("roster verify --port " + simulator.link() + " " + base + " " + roster +
                                     " --log " + log + " < " + (dir / "answers").string());
    EXPECT_EQ(verify.status, 1);
    EXPECT_EQ(verify.out, "P-01 (nearest): speaker_off: planned 0.80, pager 0.12; speaker_on: planned 0.96, pager "
                          "0.24\n1 pager read, 0 as planned\n");
    const auto rows = std::get<std::vector<CsvRow>>(ParseCsv(std::get<std::string>(ReadTextFile(log))));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].cells.at(5), ImageIdentity(held));
}

TEST_F(FleetRead, APagerChangedBehindThePlansBackAndOneOfAnotherFleetAreFoundAsSuch) {
    // The fleet as it went out: P-02 with another call 1 tone 2, the third pager from another fleet.
    const std::string strayed = (dir / "strayed.csv").string();
    std::ofstream(strayed) << "unit,call1.tone1,call1.tone2,privacy\nP-01,349.0,600.9,\nP-02,368.5,569.1,true\n"
                              "X-09,330.5,634.5,\n";
    Simulator fleet(dir, FleetOptions());
    WriteFleet(fleet.link(), strayed);
    ::usleep(200000);
    // Asked at every pager: the simulator seats the next one as soon as a pager has been read.
    std::ofstream(dir / "answers") << "\n\n\n";
    const std::string log = (dir / "verify.csv").string();
    const auto verify = testing::Cli("roster verify --port " + fleet.link() + " " + base + " " + roster + " --log " +
                                     log + " < " + (dir / "answers").string());
    EXPECT_EQ(verify.status, 1);
    EXPECT_EQ(verify.out, "P-01: as planned\nP-02 (nearest): call1.tone2: planned 600.9, pager 569.1\n"
                          "Pager 3: not in this roster\n3 pagers read, 1 as planned; not seen: P-03\n");
    const auto rows = std::get<std::vector<CsvRow>>(ParseCsv(std::get<std::string>(ReadTextFile(log))));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[2].cells.at(3), "differs");
    EXPECT_EQ(rows[2].cells.at(4), "call1.tone2");
    EXPECT_EQ(rows[3].cells.at(3), "not in this roster");
}

TEST_F(FleetRead, AReadThatFailsPartWayLeavesNoFile) {
    // The fifth request is the second half of the pager's memory: its reply arrives broken.
    Simulator fleet(dir, {"--bad-checksum", "5"});
    const std::string kept = (dir / "kept").string(), back = (dir / "back.csv").string();
    std::ofstream(dir / "answers") << "\n";
    const auto read = testing::Cli("roster read --port " + fleet.link() + " --out " + kept + " --roster " + back +
                                   " < " + (dir / "answers").string());
    EXPECT_EQ(read.status, 1);
    EXPECT_EQ(read.out.substr(0, read.out.find('\n')), "Pager 1: not read: Read Error !") << read.out;
    EXPECT_TRUE(std::filesystem::is_empty(kept));
    EXPECT_FALSE(std::filesystem::exists(back));
    // A roster or a log that cannot be used stops before any pager is read.
    const auto planless = Cli({"roster", "verify", "--port", fleet.link(), base, (dir / "none.csv").string()});
    EXPECT_EQ(planless.status, 2);
    std::ofstream(dir / "other.csv") << "name,phone\nJo,123\n";
    const auto foreignLog = Cli({"roster", "verify", "--port", fleet.link(), base, roster, "--log",
                                 (dir / "other.csv").string()});
    EXPECT_EQ(foreignLog.status, 2);
    EXPECT_NE(foreignLog.err.find("not a verify log"), std::string::npos) << foreignLog.err;
    EXPECT_EQ(std::get<std::string>(ReadTextFile(dir / "other.csv")), "name,phone\nJo,123\n");
}

}  // namespace
}  // namespace zr

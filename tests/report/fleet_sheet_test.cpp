// The fleet sheet: overlapping decoder bands found and named, the log read whatever its extra
// columns, and a large fleet over as many pages as it needs, the table's header on each.
#include <gtest/gtest.h>

#include <fstream>

#include "cli_run.h"
#include "fleet_log_reader.h"
#include "pdf_text.h"
#include "temp_dir.h"
#include "tone_plan_chart.h"

namespace {

using zr::testing::Cli;

std::string DefaultBase(const zr::testing::TempDir& dir) {
    const auto base = (dir / "base.tbl").string();
    EXPECT_EQ(Cli("default -o " + base).status, 0);
    return base;
}

std::vector<zr::UnitImage> Units(const zr::testing::TempDir& dir, const std::string& roster) {
    std::ofstream(dir / "fleet.csv") << roster;
    auto fleet = zr::CheckFleet(DefaultBase(dir), dir / "fleet.csv", zr::ToneEntryMode::User);
    return std::get<zr::CheckedFleet>(fleet).units;
}

TEST(TonePlanChart, MarksOnlyBandsOfDifferentTonesThatADecoderCouldConfuse) {
    struct Case {
        const char* what;
        const char* second;  // the second unit's call 1, beside a first unit at 600.9/1500.0
        const char* bandwidth;
        std::size_t overlaps;
    };
    const Case cases[] = {
        {"near-equal tone within both bands", "602.0/1200.0", "1.5", 1},
        {"the same tone, shared on purpose", "600.9/1200.0", "1.5", 0},
        {"the neighbouring standard tone", "634.5/1200.0", "1.5", 0},
        {"bands that meet at their edges", "602.1/1200.0", "0.1", 1},
        {"bands just apart", "602.2/1200.0", "0.1", 0},
    };
    for (const auto& c : cases) {
        zr::testing::TempDir dir;
        const std::string second(c.second);
        const auto units = Units(dir, std::string("unit,call1.tone1,call1.tone2,decoder_bandwidth\n") +
                                          "A,600.9,1500.0," + c.bandwidth + "\nB," + second.substr(0, 5) + "," +
                                          second.substr(6) + "," + c.bandwidth + "\n");
        ASSERT_EQ(units.size(), 2u) << c.what;
        const auto overlaps = zr::report::FindOverlaps(units);
        ASSERT_EQ(overlaps.size(), c.overlaps) << c.what;
        if (c.overlaps) {
            EXPECT_EQ(overlaps[0].first.unit, 0u) << c.what;
            EXPECT_EQ(overlaps[0].second.unit, 1u) << c.what;
        }
    }
}

TEST(FleetSheet, NamesThePlantedPairAndShowsTheLogsOutcomeAndDate) {
    zr::testing::TempDir dir;
    const auto base = DefaultBase(dir);
    std::ofstream(dir / "fleet.csv") << "unit,call1.tone1,call1.tone2,group1.on,group1.tone\n"
                                        "North,600.9,1500.0,true,1122.5\n"
                                        "South,602.0,1200.0,true,1122.5\n"
                                        "East,330.5,1500.0,true,1122.5\n"
                                        "West,349.0,900.0,,\n";
    // A log with a column this reader does not know, and a unit written after it failed once.
    std::ofstream(dir / "fleet.log") << "time,unit,port,firmware,outcome,message,checksum,pieces,sha256\r\n"
                                        "2026-12-01T09:15:00+0000,North,/dev/pts/3,5.10,failed,,1A2B,,ab12\r\n"
                                        "2026-12-01T09:20:41+0000,North,/dev/pts/3,5.10,written,,1A2B,32,ab12\r\n";
    const auto sheet = dir / "sheet.pdf";
    ASSERT_EQ(Cli("roster sheet --user-mode " + base + " " + (dir / "fleet.csv").string() + " -o " + sheet.string() +
                  " --log " + (dir / "fleet.log").string())
                  .status,
              0);
    std::string text;
    for (const auto& page : zr::testing::PdfPages(sheet)) text += zr::testing::Squeezed(page);
    EXPECT_NE(text.find("North 600.9/1500.0 off off off 1122.5 off ±1.5 % written 2026-12-01 09:20"), std::string::npos)
        << text;
    EXPECT_NE(text.find("West 349.0/900.0 off off off off off ±1.5 % not in log"), std::string::npos) << text;
    EXPECT_NE(text.find("#1 North call 1 tone 1 600.9 Hz ±1.5 % overlaps South call 1 tone 1 602.0 Hz ±1.5 %"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("#2"), std::string::npos) << text;

    std::ofstream(dir / "other.log") << "when,who\n";
    EXPECT_NE(Cli("roster sheet " + base + " " + (dir / "fleet.csv").string() + " -o " + sheet.string() + " --log " +
                  (dir / "other.log").string())
                  .status,
              0);
}

TEST(FleetSheet, TwoHundredUnitsRunOverPagesWithTheHeaderOnEach) {
    zr::testing::TempDir dir;
    const auto base = DefaultBase(dir);
    {
        std::ofstream roster(dir / "fleet.csv");
        roster << "unit,call1.tone1,call1.tone2\n";
        for (int n = 1; n <= 200; ++n) roster << "Unit " << 1000 + n << ",330.5," << 400 + n * 5 << ".0\n";
    }
    const auto sheet = dir / "sheet.pdf";
    ASSERT_EQ(Cli("roster sheet --user-mode --page-size A4 " + base + " " + (dir / "fleet.csv").string() + " -o " +
                  sheet.string())
                  .status,
              0);
    const auto pages = zr::testing::PdfPages(sheet);
    ASSERT_GT(pages.size(), 6u);
    int next = 1001, tablePages = 0, chartPages = 0;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const std::string page = zr::testing::Squeezed(pages[p]);
        EXPECT_NE(page.find("page " + std::to_string(p + 1) + " of " + std::to_string(pages.size())), std::string::npos);
        if (page.find("— units") != std::string::npos) {
            ++tablePages;
            EXPECT_NE(page.find("Unit Call 1 Call 2 Call 3 Call 4 Group 1 Group 2 Bandwidth"), std::string::npos) << p;
            // Every unit once, in roster order, across the table's pages.
            for (std::size_t at = page.find("Unit 1"); at != std::string::npos; at = page.find("Unit 1", at + 1))
                EXPECT_EQ(page.substr(at, 9), "Unit " + std::to_string(next++));
        }
        if (page.find("tone plan chart") != std::string::npos) ++chartPages;
    }
    EXPECT_EQ(next, 1201);
    EXPECT_GT(tablePages, 1);
    EXPECT_GT(chartPages, 1);
}

TEST(FleetLogReader, FindsItsColumnsByName) {
    const auto read = zr::report::ParseFleetLog("outcome,extra,unit,time\nwritten,x,A,t1\nfailed,y,B,t2\nskipped,z,A,t3\n");
    const auto& units = std::get<0>(read);
    ASSERT_EQ(units.size(), 2u);
    EXPECT_EQ(units.at("A").outcome, "skipped");
    EXPECT_EQ(units.at("A").time, "t3");
    EXPECT_TRUE(std::holds_alternative<zr::TableError>(zr::report::ParseFleetLog("time,unit\nt,A\n")));
}

}  // namespace

// The fleet sheet: the tone plan's problems listed and their tones marked on the chart, the log
// read whatever its extra columns, and a large fleet over as many pages as it needs, the table's header on each.
#include <gtest/gtest.h>

#include <fstream>

#include "cli_run.h"
#include "fleet_log_reader.h"
#include "pdf_text.h"
#include "temp_dir.h"

namespace {

using zr::testing::Cli;

std::string DefaultBase(const zr::testing::TempDir& dir) {
    const auto base = (dir / "base.tbl").string();
    EXPECT_EQ(Cli("default -o " + base).status, 0);
    return base;
}

TEST(FleetSheet, NamesThePlantedPairAndShowsTheLogsOutcomeAndDate) {
    zr::testing::TempDir dir;
    const auto base = DefaultBase(dir);
    // North and South answer each other's call; East's first tone is near both, its second is not.
    std::ofstream(dir / "fleet.csv") << "unit,call1.tone1,call1.tone2,group1.on,group1.tone\n"
                                        "North,600.9,1500.0,true,1122.5\n"
                                        "South,602.0,1500.0,true,1122.5\n"
                                        "East,603.0,1200.0,true,1122.5\n"
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
    std::string text, chart;
    for (const auto& page : zr::testing::PdfPages(sheet)) {
        text += zr::testing::Squeezed(page);
        if (page.find("tone plan chart") != std::string::npos) chart += page;
    }
    EXPECT_NE(text.find("North 600.9/1500.0 off off off 1122.5 off ±1.5 % written 2026-12-01 09:20"), std::string::npos)
        << text;
    EXPECT_NE(text.find("West 349.0/900.0 off off off off off ±1.5 % not in log"), std::string::npos) << text;
    EXPECT_NE(text.find("#1 North call1 600.9/1500.0 Hz answers the page of South call1 602.0/1500.0 Hz"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("#2 South call1 602.0/1500.0 Hz answers the page of North call1"), std::string::npos) << text;
    EXPECT_EQ(text.find("#3"), std::string::npos) << text;
    // The chart marks the tones of the same problems: North's and South's calls, not East's.
    std::size_t marks = 0;
    for (std::size_t at = chart.find("#1"); at != std::string::npos; at = chart.find("#1", at + 1)) ++marks;
    EXPECT_EQ(marks, 2u) << chart;  // once on each of their rows
    EXPECT_EQ(chart.find("#2"), std::string::npos) << chart;

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

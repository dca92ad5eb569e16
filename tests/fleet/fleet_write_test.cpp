// roster write against the fleet simulator: pagers swapped behind one board, written, logged,
// stopped and resumed, as a technician runs it.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <fstream>

#include "cli_run.h"
#include "number_text.h"
#include "pager_image.h"
#include "roster.h"
#include "spawned_programs.h"

namespace zr {
namespace {

using testing::Cli;
using testing::Simulator;

struct FleetWrite : ::testing::Test {
    testing::TempDir dir;
    std::string base = (dir / "base.tbl").string();
    std::string roster = (dir / "fleet.csv").string();
    std::string log = (dir / "log.csv").string();
    std::string out = (dir / "sent").string();

    void SetUp() override {
        ASSERT_EQ(Cli({"default", "-o", base}).status, 0);
        std::ofstream(roster) << "unit,call1.tone1,call1.tone2\nP-01,349.0,600.9\nP-02,368.5,600.9\nP-03,389.0,600.9\n";
    }

    testing::Outcome Write(const std::string& port, std::vector<std::string> more = {}) {
        std::vector<std::string> args{"roster", "write", "--port", port, base, roster, "--log", log, "--wait"};
        args.insert(args.end(), more.begin(), more.end());
        return Cli(args);
    }

    // The log's lines after its header, each as unit, outcome and message.
    std::vector<std::vector<std::string>> Logged(const std::string& port) {
        const auto rows = std::get<std::vector<CsvRow>>(ParseCsv(std::get<std::string>(ReadTextFile(log))));
        EXPECT_EQ(rows.at(0).cells, (std::vector<std::string>{"time", "unit", "port", "firmware", "outcome",
                                                              "message", "checksum", "pieces", "image"}));
        std::vector<std::vector<std::string>> lines;
        for (std::size_t i = 1; i < rows.size(); ++i) {
            const auto& cells = rows[i].cells;
            EXPECT_EQ(cells.at(2), port);
            lines.push_back({cells.at(1), cells.at(4), cells.at(5)});
        }
        return lines;
    }
};

TEST_F(FleetWrite, ThreeUnitsWrittenLoggedAndKeptForVerify) {
    Simulator simulator(dir, {"--pagers", "3", "--auto-swap", "--swap-gap", "100"});
    const auto trace = dir / "trace.txt";
    const auto run = Write(simulator.link(), {"--out", out, "--trace", trace.string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "ZR250Pro: Write Sucess !\nZR250Pro: Write Sucess !\nZR250Pro: Write Sucess !\n"
                       "3 written, 0 already written, 0 failed, 0 skipped\n");
    using Line = std::vector<std::string>;
    EXPECT_EQ(Logged(simulator.link()), (std::vector<Line>{{"P-01", "written", "Write Sucess !"},
                                                           {"P-02", "written", "Write Sucess !"},
                                                           {"P-03", "written", "Write Sucess !"}}));

    // Each kept image is the unit's, sealed as sent, with the checksum the log names.
    const auto rows = std::get<std::vector<CsvRow>>(ParseCsv(std::get<std::string>(ReadTextFile(log))));
    for (const auto& [row, tone] : {std::pair{1, 3490}, {2, 3685}, {3, 3890}}) {
        const auto sent = testing::ReadAll(dir / "sent" / (rows[row].cells[1] + ".tbl"));
        ASSERT_EQ(sent.size(), kImageSize);
        EXPECT_EQ(sent[192] << 8 | sent[193], tone);
        EXPECT_EQ(rows[row].cells[3], "5.10");
        EXPECT_EQ(rows[row].cells[6], FormatHex(sent[254] << 8 | sent[255], 4));
        EXPECT_EQ(rows[row].cells[7], "32");
    }
    // The fleet went round: pager 1 is back behind the board and holds unit P-01.
    ::usleep(300000);
    EXPECT_EQ(Cli({"verify", "--port", simulator.link(), (dir / "sent" / "P-01.tbl").string()}).out,
              "ZR250Pro: Verify Sucess !\n");

    const auto again = Write(simulator.link());
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out, "0 written, 3 already written, 0 failed, 0 skipped\n");
    EXPECT_EQ(Logged(simulator.link()).size(), 3u);

    // The trace holds every Write's 32 pieces, each request and its reply on the line.
    const auto traced = std::get<std::string>(ReadTextFile(trace));
    EXPECT_NE(traced.find(simulator.link() + "  open    ok"), std::string::npos) << traced.substr(0, 400);
    std::size_t requests = 0;
    for (auto at = traced.find("  ->  "); at != std::string::npos; at = traced.find("  ->  ", at + 1)) ++requests;
    EXPECT_GE(requests, 3u * 32u);
    // Before a Write the pager is looked at with a glance at its two checksum bytes; its whole memory
    // is read only when the log holds an image with that checksum, and the log holds none yet.
    const auto lookedAt = traced.substr(0, traced.find("write '3' address 0 count 8"));
    EXPECT_NE(lookedAt.find("read '3' address 254 count 2"), std::string::npos) << lookedAt;
    EXPECT_EQ(lookedAt.find("count 128"), std::string::npos) << lookedAt;
    const auto untraced = Write(simulator.link(), {"--trace", (dir / "no" / "t.txt").string()});
    EXPECT_EQ(untraced.status, 1);
    EXPECT_TRUE(untraced.out.empty()) << "nothing was tried on the line";
}

TEST_F(FleetWrite, ANakOnTheSecondUnitThenAResumeWritesOnlyTheMissingUnits) {
    std::string port;
    {
        // Write 33 is the second unit's first piece.
        Simulator simulator(dir, {"--pagers", "3", "--auto-swap", "--swap-gap", "100", "--nak-write", "33"});
        port = simulator.link();
        const auto run = Write(port, {"--on-failure", "stop"});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "ZR250Pro: Write Sucess !\nZR250Pro: Write Error !\n"
                           "1 written, 0 already written, 1 failed, 0 skipped; stopped, run again with the same log to "
                           "go on\n");
    }
    Simulator simulator(dir, {"--pagers", "2", "--auto-swap", "--swap-gap", "100"});
    const auto resumed = Write(port);
    EXPECT_EQ(resumed.status, 0) << resumed.err;
    EXPECT_EQ(resumed.out, "ZR250Pro: Write Sucess !\nZR250Pro: Write Sucess !\n"
                           "2 written, 1 already written, 0 failed, 0 skipped\n");
    using Line = std::vector<std::string>;
    EXPECT_EQ(Logged(port), (std::vector<Line>{{"P-01", "written", "Write Sucess !"},
                                               {"P-02", "failed", "Write Error !"},
                                               {"P-02", "written", "Write Sucess !"},
                                               {"P-03", "written", "Write Sucess !"}}));
}

TEST_F(FleetWrite, WaitKeepsOffAPagerLeftUnchangedAndCtrlCStopsOnlyOnceTheWriteIsDone) {
    const std::string control = (dir / "sim-control").string();
    Simulator simulator(dir, {"--pagers", "2", "--control", control, "--swap-gap", "100", "--pace", "9600"});
    int out = -1, err = -1;
    const pid_t writer = testing::Spawn({ZR250PRO_CLI, "roster", "write", "--port", simulator.link(), base, roster,
                                         "--log", log, "--wait"},
                                        out, err);
    std::string said;
    ASSERT_TRUE(testing::ReadUntil(
        err, said, "Waiting for the pager of unit P-02: the pager behind the board holds unit P-01's image, written "));
    ::usleep(1500000);
    EXPECT_EQ(Logged(simulator.link()).size(), 1u) << "the same pager is not written twice";

    const std::size_t swapped = said.size();
    std::ofstream(control) << "swap\n";
    ASSERT_TRUE(testing::ReadUntil(err, said, "  Write Now ......\n", swapped));
    ::kill(writer, SIGINT);
    const std::string printed = testing::ReadToEnd(out);
    said += testing::ReadToEnd(err);
    int status = 0;
    ::waitpid(writer, &status, 0);
    ::close(out);
    ::close(err);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(printed, "ZR250Pro: Write Sucess !\nZR250Pro: Write Sucess !\n2 written, 0 already written, 0 failed, "
                       "0 skipped; stopped, run again with the same log to go on\n");
    EXPECT_NE(said.find("Unit P-02: written"), std::string::npos) << said;
    EXPECT_EQ(Logged(simulator.link()).size(), 2u);
}

// The log tells what happened when no pager was there: the Write's box as the window shows it, and
// in the outcome that no pager answered; a stop while waiting for a pager ends the run at once.
TEST_F(FleetWrite, NoPagerAnsweringIsLoggedAsSuchAndCtrlCWhileWaitingStopsAtOnce) {
    const std::string control = (dir / "sim-control").string();
    Simulator simulator(dir, {"--control", control});
    std::ofstream(control) << "remove\n";
    std::ofstream(roster) << "unit,call1.tone1,call1.tone2\nP-01,349.0,600.9\n";
    std::ofstream(dir / "answers") << "\n";
    ::usleep(100000);
    const auto asked = testing::Cli("roster write --on-failure stop --port " + simulator.link() + " " + base + " " +
                                    roster + " --log " + log + " < " + (dir / "answers").string() + " 2>" +
                                    (dir / "said").string() + "; exit $?");
    EXPECT_EQ(asked.status, 1);
    EXPECT_NE(asked.out.find("ZR250Pro: The new functions will not work for ZR250Pro with firmware version older "
                             "than 5.10!"),
              std::string::npos)
        << asked.out;
    const auto told = std::get<std::string>(ReadTextFile(dir / "said"));
    EXPECT_NE(told.find("Unit P-01: no pager answered"), std::string::npos) << told;
    ASSERT_EQ(Logged(simulator.link()).size(), 1u);
    EXPECT_EQ(Logged(simulator.link())[0][1], "no pager answered");

    int out = -1, err = -1;
    const pid_t writer = testing::Spawn({ZR250PRO_CLI, "roster", "write", "--port", simulator.link(), base, roster,
                                         "--log", log, "--wait"},
                                        out, err);
    std::string said;
    ASSERT_TRUE(testing::ReadUntil(err, said, "Waiting for the pager of unit P-01: no pager behind the board"));
    const auto stopAt = std::chrono::steady_clock::now();
    ::kill(writer, SIGINT);
    const std::string printed = testing::ReadToEnd(out);
    int status = 0;
    ::waitpid(writer, &status, 0);
    // Not a reply time-out of 3 s: the look for a pager is a glance.
    EXPECT_LT(std::chrono::steady_clock::now() - stopAt, std::chrono::seconds(2));
    ::close(out);
    ::close(err);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(printed, "0 written, 0 already written, 0 failed, 0 skipped; stopped while waiting for the pager of "
                       "unit P-01 (no pager in hand), run again with the same log to go on\n");
    EXPECT_EQ(Logged(simulator.link()).size(), 1u);
}

TEST_F(FleetWrite, AskedAtEveryPagerAFailedWriteIsTriedAgainAndAUnitSkipped) {
    Simulator simulator(dir, {"--pagers", "3", "--auto-swap", "--swap-gap", "0", "--nak-write", "33"});
    // Enter for P-01; Enter for P-02, whose Write fails, and Enter to try it again; s for P-03.
    std::ofstream(dir / "answers") << "\n\n\ns\n";
    const auto run = testing::Cli("roster write --port " + simulator.link() + " " + base + " " + roster + " --log " +
                                  log + " < " + (dir / "answers").string());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "ZR250Pro: Write Sucess !\nZR250Pro: Write Error !\nZR250Pro: Write Sucess !\n"
                       "2 written, 0 already written, 0 failed, 1 skipped\n");
    using Line = std::vector<std::string>;
    EXPECT_EQ(Logged(simulator.link()), (std::vector<Line>{{"P-01", "written", "Write Sucess !"},
                                                           {"P-02", "failed", "Write Error !"},
                                                           {"P-02", "written", "Write Sucess !"},
                                                           {"P-03", "skipped", ""}}));
}

TEST_F(FleetWrite, ChangedPiecesOnlySendsEachUnitWhatThePagerLacksAndLogsTheCount) {
    // One pager taking every unit in turn: each unit differs from the one before in a call's tones,
    // their codes and the checksum. Writing over the unit written before takes an explicit w.
    Simulator simulator(dir, {});
    std::ofstream(dir / "answers") << "\n\n\nw\n\nw\n";
    const auto run = testing::Cli("roster write --changed-only --port " + simulator.link() + " " + base + " " +
                                  roster + " --log " + log + " < " + (dir / "answers").string() + " 2>" +
                                  (dir / "said").string() + "; exit $?");
    EXPECT_EQ(run.status, 0) << run.out;
    const auto said = std::get<std::string>(ReadTextFile(dir / "said"));
    EXPECT_NE(said.find("The pager behind the board holds unit P-01's image, written 20"), std::string::npos)
        << said;
    EXPECT_NE(said.find("w Enter goes on"), std::string::npos) << "a bare Enter does not write over P-01";
    const auto rows = std::get<std::vector<CsvRow>>(ParseCsv(std::get<std::string>(ReadTextFile(log))));
    ASSERT_EQ(rows.size(), 4u);
    for (std::size_t row = 1; row < rows.size(); ++row) {
        EXPECT_EQ(rows[row].cells.at(4), "written");
        EXPECT_EQ(rows[row].cells.at(7), "3");
    }
}

TEST_F(FleetWrite, ALogThatIsNoFleetLogOrCannotBeWrittenStopsBeforeAnyPager) {
    std::ofstream(log) << "name,phone\nJo,123\n";
    const auto foreign = Write("/nonexistent/port");
    EXPECT_EQ(foreign.status, 2);
    EXPECT_NE(foreign.err.find(log + " line 1: not a fleet log"), std::string::npos) << foreign.err;
    EXPECT_EQ(std::get<std::string>(ReadTextFile(log)), "name,phone\nJo,123\n");

    log = (dir / "missing" / "log.csv").string();
    const auto unwritable = Write("/nonexistent/port");
    EXPECT_EQ(unwritable.status, 2);
    EXPECT_NE(unwritable.err.find(log + ": cannot be written"), std::string::npos) << unwritable.err;

    // A log is judged as a save judges its target, before it is read: never waited on, never forced.
    const auto folder = dir / "folder", fifo = dir / "fifo", readOnly = dir / "read-only.csv";
    std::filesystem::create_directory(folder);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    std::ofstream(readOnly) << "";
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read);
    for (const auto& [target, reason] : {std::pair{folder, "Is a directory"},
                                         {fifo, "not a regular file (a FIFO)"},
                                         {readOnly, "Permission denied"}}) {
        log = target.string();
        const auto refused = Write("/nonexistent/port");
        EXPECT_EQ(refused.status, 2) << log;
        EXPECT_NE(refused.err.find(log + ": cannot be written: " + reason), std::string::npos) << refused.err;
    }
    EXPECT_EQ(std::filesystem::file_size(readOnly), 0u);
}

// --out is made ready before the first pager: a folder that cannot take the images ends the run
// before the port is opened, the log untouched.
TEST_F(FleetWrite, AnOutFolderThatCannotTakeTheImagesStopsTheRunBeforeAnyPager) {
    Simulator simulator(dir, {"--pagers", "3", "--auto-swap", "--swap-gap", "100"});
    const auto file = dir / "file", readOnly = dir / "read-only", trace = dir / "trace.txt";
    std::ofstream(file) << "";
    std::filesystem::create_directory(readOnly);
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    for (const auto& [folder, reason] : {std::pair{file, "is not a folder"},
                                         {file / "sent", "cannot be made a folder: "},
                                         {readOnly, "cannot be written: Permission denied"}}) {
        const auto run = Write(simulator.link(), {"--out", folder.string(), "--trace", trace.string()});
        EXPECT_EQ(run.status, 2) << folder;
        EXPECT_NE(run.err.find(folder.string() + ": " + reason), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("; no pager was written"), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
        EXPECT_FALSE(std::filesystem::exists(log));
        const auto traced = ReadTextFile(trace);
        EXPECT_TRUE(!std::holds_alternative<std::string>(traced) || std::get<std::string>(traced).empty())
            << "the port was not opened";
    }
    EXPECT_TRUE(std::filesystem::is_empty(readOnly));
}

// A roster as a spreadsheet saves it with ";" is written like any other. A sent image that cannot
// be kept after all stops the run once its pager is logged: the log says the image was not kept,
// and the exit status is 1.
TEST_F(FleetWrite, ASemicolonRosterIsWrittenAndAnImageNotKeptStopsTheRunWithExitOne) {
    std::ofstream(roster) << " unit ; call1.tone1 ;call1.tone2 \r\nP-01;349.0;600.9\r\nP-02;368.5;600.9\r\n"
                             "P-03;389.0;600.9\r\n";
    const auto blocked = dir / "sent" / "P-02.tbl";
    std::filesystem::create_directories(blocked);  // a folder where P-02's image would go
    Simulator simulator(dir, {"--pagers", "3", "--auto-swap", "--swap-gap", "100"});
    const auto run = Write(simulator.link(), {"--out", out});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, "ZR250Pro: Write Sucess !\nZR250Pro: Write Sucess !\n2 written, 0 already written, 0 failed, 0 "
                       "skipped, 1 image not kept; stopped, run again with the same log to go on\n");
    EXPECT_NE(run.err.find("cannot save " + blocked.string() + ": "), std::string::npos) << run.err;
    const auto logged = Logged(simulator.link());
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_EQ(logged[0], (std::vector<std::string>{"P-01", "written", "Write Sucess !"}));
    EXPECT_EQ(logged[1].at(1), "written");
    EXPECT_EQ(logged[1].at(2).rfind("Write Sucess !; image not kept: " + blocked.string() + ": ", 0), 0u)
        << logged[1].at(2);
    const auto kept = testing::ReadAll(dir / "sent" / "P-01.tbl");
    ASSERT_EQ(kept.size(), kImageSize);
    EXPECT_EQ(kept[192] << 8 | kept[193], 3490);
}

// Images whose 16-bit sums are equal are still different images: a resume after the roster or the
// base was corrected writes the corrected image into the unit's pager.
TEST_F(FleetWrite, AResumeAfterACorrectionWritesTheCorrectedImageEvenWhenTheSumsCollide) {
    struct Case {
        std::string what, header, before, after;
        std::string baseBefore = "1608000", baseAfter = "1608000";
    };
    for (const Case& c : std::vector<Case>{
             {"priority moved from call 1 to call 2", "unit,call2.on,call1.priority,call2.priority",
              "X,true,true,false", "X,true,false,true"},
             {"call 1's tones swapped", "unit,call1.tone1,call1.tone2", "X,330.5,569.1", "X,569.1,330.5"},
             {"the base's channel moved", "unit,call1.tone1", "X,349.0", "X,349.0", "1608000", "1612125"}}) {
        SCOPED_TRACE(c.what);
        Simulator simulator(dir, {});
        log = (dir / (std::to_string(c.what.size()) + ".csv")).string();
        for (const auto& [row, frequency] : {std::pair{c.before, c.baseBefore}, {c.after, c.baseAfter}}) {
            ASSERT_EQ(Cli({"set", base, "frequency=" + frequency, "-o", base}).status, 0);
            std::ofstream(roster) << c.header << "\n" << row << "\n";
            const auto run = Write(simulator.link(), {"--out", out});
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(run.out, "ZR250Pro: Write Sucess !\n1 written, 0 already written, 0 failed, 0 skipped\n");
        }
        EXPECT_EQ(Cli({"verify", "--port", simulator.link(), (dir / "sent" / "X.tbl").string()}).out,
                  "ZR250Pro: Verify Sucess !\n");
    }
}

TEST_F(FleetWrite, AnOldLogWithoutImagesHasItsUnitsWrittenAgainWithOneNotice) {
    std::ofstream(log) << "time,unit,port,firmware,outcome,message,checksum,pieces\r\n"
                          "2026-01-01T10:00:00+0000,P-01,x,5.10,written,Write Sucess !,1234,32\r\n";
    Simulator simulator(dir, {"--pagers", "3", "--auto-swap", "--swap-gap", "100"});
    const auto run = Write(simulator.link());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(run.out.rfind("3 written")), "3 written, 0 already written, 0 failed, 0 skipped\n");
    EXPECT_NE(run.err.find("names no image for its units (an older log): every unit is written again"),
              std::string::npos)
        << run.err;
    const auto rows = std::get<std::vector<CsvRow>>(ParseCsv(std::get<std::string>(ReadTextFile(log))));
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[1].cells, (std::vector<std::string>{"2026-01-01T10:00:00+0000", "P-01", "x", "5.10", "written",
                                                       "Write Sucess !", "1234", "32", ""}));
    EXPECT_EQ(rows[4].cells.at(8).size(), 64u);
}

// A run resumed with --wait finds the last unit's pager still seated: it waits for it to go. A
// pager whose Write failed stays the one in hand: the next unit waits for a change of pager.
TEST_F(FleetWrite, WaitNeverWritesIntoAPagerTheLogGivesAnotherUnitOrTheFailedOneInHand) {
    const std::string control = (dir / "sim-control").string();
    // P-01 and P-02 take writes 1..64: write 65 is P-03's first piece.
    Simulator simulator(dir, {"--pagers", "3", "--control", control, "--nak-write", "65"});
    std::ofstream(roster) << "unit,call1.tone1,call1.tone2\nP-01,349.0,600.9\n";
    ASSERT_EQ(Write(simulator.link()).status, 0);

    std::ofstream(roster) << "unit,call1.tone1,call1.tone2\nP-01,349.0,600.9\nP-02,368.5,600.9\nP-03,389.0,600.9\n"
                             "P-04,410.8,600.9\n";
    int out = -1, err = -1;
    const pid_t writer = testing::Spawn({ZR250PRO_CLI, "roster", "write", "--port", simulator.link(), base, roster,
                                         "--log", log, "--wait", "--on-failure", "skip"},
                                        out, err);
    std::string said;
    const auto awaited = [&](const std::string& why) {
        const std::size_t from = said.size();
        EXPECT_TRUE(testing::ReadUntil(err, said, why, from)) << said;
    };
    awaited("Waiting for the pager of unit P-02: the pager behind the board holds unit P-01's image, written ");
    ::usleep(1000000);
    EXPECT_EQ(Logged(simulator.link()).size(), 1u) << "P-01's pager is not written with P-02";
    std::ofstream(control) << "swap\n";
    awaited("Waiting for the pager of unit P-03: the pager behind the board holds unit P-02's image");
    std::ofstream(control) << "swap\n";
    awaited("Waiting for the pager of unit P-04: the pager whose Write failed is still in hand");
    ::usleep(1000000);
    EXPECT_EQ(Logged(simulator.link()).size(), 3u) << "P-03's failed pager is not written with P-04";
    ::kill(writer, SIGINT);
    testing::ReadToEnd(out);
    int status = 0;
    ::waitpid(writer, &status, 0);
    ::close(out);
    ::close(err);
    using Line = std::vector<std::string>;
    EXPECT_EQ(Logged(simulator.link()), (std::vector<Line>{{"P-01", "written", "Write Sucess !"},
                                                           {"P-02", "written", "Write Sucess !"},
                                                           {"P-03", "failed", "Write Error !"}}));
}

}  // namespace
}  // namespace zr

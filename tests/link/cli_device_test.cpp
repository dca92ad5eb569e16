// zr250pro-cli's device commands against zr250pro-sim, both as the technician runs them.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "comm_port.h"
#include "pager_image.h"
#include "pager_simulator.h"
#include "spawned_programs.h"
#include "temp_dir.h"

namespace zr {
namespace {

using testing::Cli;
using testing::Outcome;
using testing::ReadAll;
using testing::RunProgram;
using testing::Simulator;
using testing::TempDir;

std::vector<std::uint8_t> Bytes(const PagerImage& image) { return {image.bytes.begin(), image.bytes.end()}; }

TEST(CliDevice, ReadWriteVerifyAsATechnicianRunsThem) {
    TempDir dir;
    const auto path = [&dir](const char* name) { return (dir / name).string(); };
    Simulator simulator(dir, {"--dump", path("dump.tbl")});

    const Outcome read = Cli({"read", "--port", simulator.link(), "-o", path("r.tbl")});
    EXPECT_EQ(read.status, 0);
    EXPECT_EQ(read.out, "ZR250Pro: Read Success !\n");
    EXPECT_EQ(read.err,
              "  Target board testing ......\n  Reading Now ......\nzr250pro-cli: pager firmware version 5.10\n Ready\n");
    // An untouched pager holds what the window's Write of its start-up image leaves, which a Read
    // loads unchanged: Verify right after the Read succeeds.
    PagerImage pager = sim::WrittenDefaultImage();
    pager[1] = 5;
    pager[2] = 10;
    EXPECT_EQ(ReadAll(path("r.tbl")), Bytes(pager));
    EXPECT_EQ(Cli({"verify", "--port", simulator.link(), path("r.tbl")}).out, "ZR250Pro: Verify Sucess !\n");

    // To standard output the table comes alone; its box goes to standard error.
    const Outcome piped = Cli({"read", "--port", simulator.link(), "-o", "-"});
    EXPECT_EQ(piped.status, 0);
    EXPECT_EQ(piped.out, std::string(pager.bytes.begin(), pager.bytes.end()));
    EXPECT_NE(piped.err.find("ZR250Pro: Read Success !\n"), std::string::npos) << piped.err;

    // A file with one changed field: written, sealed, read back; saved as sent, then verified.
    PagerImage edited = pager;
    edited[70] = 60;
    testing::WriteAll(path("e.tbl"), Bytes(edited));
    const Outcome write = Cli({"write", "--port", simulator.link(), path("e.tbl"), "-o", path("sent.tbl")});
    EXPECT_EQ(write.status, 0);
    EXPECT_EQ(write.out, "ZR250Pro: Write Sucess !\n");
    EXPECT_NE(write.err.find("  Write Now ......\n"), std::string::npos);
    EXPECT_NE(write.err.find("  Verify Now ......\n  Ready .....\n"), std::string::npos);
    ASSERT_EQ(Cli({"seal", path("e.tbl"), "-o", path("s.tbl")}).status, 0);
    EXPECT_EQ(ReadAll(path("sent.tbl")), ReadAll(path("s.tbl")));
    // Saved as sent to standard output: the image alone there, the boxes on standard error.
    const Outcome sentPiped = Cli({"write", "--port", simulator.link(), path("e.tbl"), "-o", "-"});
    EXPECT_EQ(sentPiped.status, 0);
    const auto sent = ReadAll(path("sent.tbl"));
    EXPECT_EQ(sentPiped.out, std::string(sent.begin(), sent.end()));
    EXPECT_NE(sentPiped.err.find("ZR250Pro: Write Sucess !\n"), std::string::npos) << sentPiped.err;

    const Outcome verify = Cli({"verify", "--port", simulator.link(), path("sent.tbl")});
    EXPECT_EQ(verify.status, 0);
    EXPECT_EQ(verify.out, "ZR250Pro: Verify Sucess !\n");
    const Outcome mismatch = Cli({"verify", "--port", simulator.link(), path("r.tbl")});
    EXPECT_EQ(mismatch.status, 1);
    EXPECT_EQ(mismatch.out, "ZR250Pro: Verify Error !\n");

    EXPECT_EQ(simulator.Stop(), 0);
    EXPECT_EQ(ReadAll(path("dump.tbl")), ReadAll(path("s.tbl")));
    EXPECT_FALSE(std::filesystem::exists(simulator.link())) << "the link goes with the simulator";
}

std::vector<std::string> Lines(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (const std::uint8_t byte : bytes) {
        if (byte != '\n') {
            line += static_cast<char>(byte);
            continue;
        }
        lines.push_back(line);
        line.clear();
    }
    return lines;
}

TEST(CliDevice, WriteOfChangedPiecesOnly) {
    TempDir dir;
    const auto path = [&dir](const char* name) { return (dir / name).string(); };
    testing::WriteAll(path("d.tbl"), Bytes(StartupImage()));
    {
        Simulator simulator(dir, {"--dump", path("dump.tbl"), "--log", path("requests.log")});
        // The pager holds what a full Write sent; the file then changes one field of it.
        ASSERT_EQ(Cli({"write", "--port", simulator.link(), path("d.tbl"), "-o", path("held.tbl")}).status, 0);
        std::vector<std::uint8_t> edited = ReadAll(path("held.tbl"));
        edited[70] = 60;  // piece 8, and the checksum in piece 31
        testing::WriteAll(path("e.tbl"), edited);

        const Outcome write =
            Cli({"write", "--changed-only", "--port", simulator.link(), path("e.tbl"), "-o", path("sent.tbl")});
        EXPECT_EQ(write.status, 0);
        EXPECT_EQ(write.out, "ZR250Pro: Write Sucess !\n");
        EXPECT_NE(write.err.find("zr250pro-cli: 2 of 32 pieces sent\n  Verify Now ......\n"), std::string::npos)
            << write.err;
        EXPECT_EQ(simulator.Stop(), 0);
        EXPECT_EQ(ReadAll(path("dump.tbl")), ReadAll(path("sent.tbl")));
        const auto requests = Lines(ReadAll(path("requests.log")));
        ASSERT_EQ(requests.size(), 37u + 9u) << "a full Write, then the Write of changed pieces";
        EXPECT_EQ(std::vector(requests.begin() + 37, requests.end()),
                  (std::vector<std::string>{"51 R 0 0", "51 R 1 2", "51 R 240 14", "51 R 0 128", "51 R 128 128",
                                            "51 S 64 8", "51 S 248 8", "51 R 0 128", "51 R 128 128"}));
    }
    // A pager whose memory cannot be read first is written whole, and the technician is told.
    Simulator unreadable(dir, {"--bad-checksum", "4"});
    const Outcome write = Cli({"write", "--changed-only", "--port", unreadable.link(), path("e.tbl")});
    EXPECT_EQ(write.status, 0);
    EXPECT_EQ(write.out, "ZR250Pro: Write Sucess !\n");
    EXPECT_NE(write.err.find("zr250pro-cli: the pager's memory could not be read before writing: sending all 32 "
                             "pieces\nzr250pro-cli: 32 of 32 pieces sent\n"),
              std::string::npos)
        << write.err;
}

TEST(CliDevice, PortsAndProbe) {
    TempDir dir;
    Simulator simulator(dir, {"--board-version", "3.7"});
    ::setenv("ZR250PRO_PORTS", ("ttyUSB0:" + simulator.link()).c_str(), 1);
    const Outcome ports = Cli({"ports"});
    ::unsetenv("ZR250PRO_PORTS");
    EXPECT_EQ(ports.status, 0);
    EXPECT_EQ(ports.out, "ttyUSB0\n" + simulator.link() + "\n");

    const Outcome probe = Cli({"probe", "--port", simulator.link()});
    EXPECT_EQ(probe.status, 0);
    EXPECT_EQ(probe.out, "board found on " + simulator.link() + ", interface version 3.7\n");
}

TEST(CliDevice, FailuresPrintTheirBoxAndExitOne) {
    TempDir dir;
    const auto path = [&dir](const char* name) { return (dir / name).string(); };
    {
        // A board that never answers costs one real time-out of about 3 s.
        Simulator silent(dir, {"--silent"});
        const Outcome read = Cli({"read", "--port", silent.link(), "-o", path("r.tbl")});
        EXPECT_EQ(read.status, 1);
        EXPECT_EQ(read.out,
                  "ZR200Pro: The Board is not responding ! \nPlease check your programer ready\n and COM port connect "
                  "properly !\n");
        EXPECT_FALSE(std::filesystem::exists(path("r.tbl")));
    }
    Simulator simulator(dir, {"--firmware", "5.0"});
    testing::WriteAll(path("d.tbl"), Bytes(StartupImage()));
    const Outcome old = Cli({"write", "--port", simulator.link(), path("d.tbl")});
    EXPECT_EQ(old.status, 1);
    EXPECT_EQ(old.out,
              "ZR250Pro: The new functions will not work for ZR250Pro with firmware version older than 5.10! Please "
              "re-program the ZR250Pro.\n");

    TCommPort other;
    other.Configure(9600, simulator.link(), 1);
    const Outcome held = Cli({"verify", "--port", simulator.link(), path("d.tbl")});
    EXPECT_EQ(held.status, 1);
    EXPECT_EQ(held.out,
              "ZR250Pro: The Board is not responding ! \nPlease check your programer ready \nand COM port connect "
              "properly !\n");
    // The reason and the fix follow on standard error: this test program holds the port.
    EXPECT_NE(held.err.find("zr250pro-cli: Cannot open " + simulator.link() + ": in use by link_tests (process " +
                            std::to_string(getpid())),
              std::string::npos)
        << held.err;
    other.Close();

    const Outcome gone = Cli({"probe", "--port", "/nonexistent/ttyUSB7"});
    EXPECT_EQ(gone.status, 1);
    EXPECT_NE(gone.err.find("zr250pro-cli: Cannot open /nonexistent/ttyUSB7: no such device. "), std::string::npos)
        << gone.err;

    const Outcome missing = Cli({"write", "--port", simulator.link(), path("missing.tbl")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "ZR250Pro: Open Error!\n");
}

TEST(CliDevice, AUserWhoMayNotOpenThePortIsToldWhichGroupToJoin) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to run the command as another user";
    const std::vector<std::string> asNobody{"/usr/bin/setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups",
                                            ZR250PRO_CLI};
    if (access(asNobody[0].c_str(), X_OK) != 0) GTEST_SKIP() << "setpriv is not installed";
    std::vector<std::string> ports = asNobody;
    ports.push_back("ports");
    if (RunProgram(ports).status != 0) GTEST_SKIP() << "the user nobody cannot run the built program here";
    TempDir dir;
    Simulator simulator(dir, {});
    const std::filesystem::path device = std::filesystem::canonical(simulator.link());
    ::chmod(device.c_str(), 0660);  // the owner root and its group may use it, nobody else
    std::vector<std::string> probe = asNobody;
    probe.insert(probe.end(), {"probe", "--port", device.string()});
    const Outcome refused = RunProgram(probe);
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("Cannot open " + device.string() + ": Permission denied. "), std::string::npos)
        << refused.err;
    EXPECT_NE(refused.err.find("sudo usermod -aG "), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find(" nobody\", then log out and in again"), std::string::npos) << refused.err;
}

}  // namespace
}  // namespace zr

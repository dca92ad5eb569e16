// zr250pro-cli's device commands against zr250pro-sim, both as the technician runs them.
#include <gtest/gtest.h>

#include <cstdlib>

#include "comm_port.h"
#include "pager_image.h"
#include "spawned_programs.h"
#include "temp_dir.h"

namespace zr {
namespace {

using testing::Cli;
using testing::Outcome;
using testing::ReadAll;
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
    PagerImage pager = StartupImage();
    SealImageForWrite(pager);
    pager[1] = 5;
    pager[2] = 10;
    EXPECT_EQ(ReadAll(path("r.tbl")), Bytes(pager));

    // A file with one changed field: written, sealed, read back; then verified as sealed.
    PagerImage edited = pager;
    edited[70] = 60;
    testing::WriteAll(path("e.tbl"), Bytes(edited));
    const Outcome write = Cli({"write", "--port", simulator.link(), path("e.tbl")});
    EXPECT_EQ(write.status, 0);
    EXPECT_EQ(write.out, "ZR250Pro: Write Sucess !\n");
    EXPECT_NE(write.err.find("  Write Now ......\n"), std::string::npos);
    EXPECT_NE(write.err.find("  Verify Now ......\n  Ready .....\n"), std::string::npos);
    ASSERT_EQ(Cli({"seal", path("e.tbl"), "-o", path("s.tbl")}).status, 0);

    const Outcome verify = Cli({"verify", "--port", simulator.link(), path("s.tbl")});
    EXPECT_EQ(verify.status, 0);
    EXPECT_EQ(verify.out, "ZR250Pro: Verify Sucess !\n");
    const Outcome mismatch = Cli({"verify", "--port", simulator.link(), path("r.tbl")});
    EXPECT_EQ(mismatch.status, 1);
    EXPECT_EQ(mismatch.out, "ZR250Pro: Verify Error !\n");

    EXPECT_EQ(simulator.Stop(), 0);
    EXPECT_EQ(ReadAll(path("dump.tbl")), ReadAll(path("s.tbl")));
    EXPECT_FALSE(std::filesystem::exists(simulator.link())) << "the link goes with the simulator";
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

    const Outcome missing = Cli({"write", "--port", simulator.link(), path("missing.tbl")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "ZR250Pro: Open Error!\n");
}

}  // namespace
}  // namespace zr

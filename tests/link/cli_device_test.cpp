// zr250pro-cli's device commands against zr250pro-sim, both as the technician runs them.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "comm_port.h"
#include "pager_image.h"
#include "temp_dir.h"

namespace zr {
namespace {

using testing::ReadAll;
using testing::TempDir;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadToEnd(int fd) {
    std::string text;
    char chunk[4096];
    for (ssize_t got; (got = ::read(fd, chunk, sizeof chunk)) > 0;) text.append(chunk, static_cast<std::size_t>(got));
    return text;
}

// Starts a program with its standard output and error on pipes.
pid_t Spawn(const std::vector<std::string>& args, int& out, int& err) {
    int outPipe[2], errPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        for (int fd : {outPipe[0], outPipe[1], errPipe[0], errPipe[1]}) close(fd);
        std::vector<char*> argv;
        for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    out = outPipe[0];
    err = errPipe[0];
    return pid;
}

Outcome Cli(std::vector<std::string> args) {
    args.insert(args.begin(), ZR250PRO_CLI);
    int out = -1, err = -1;
    const pid_t pid = Spawn(args, out, err);
    Outcome outcome;
    outcome.out = ReadToEnd(out);
    outcome.err = ReadToEnd(err);
    close(out);
    close(err);
    int status = 0;
    waitpid(pid, &status, 0);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

// zr250pro-sim in the background, linked into a scratch folder; ended with SIGTERM like Ctrl+C.
class Simulator {
public:
    Simulator(const TempDir& dir, std::vector<std::string> options) : link_((dir / "sim-port").string()) {
        std::vector<std::string> args{ZR250PRO_SIM, "--link", link_};
        args.insert(args.end(), options.begin(), options.end());
        pid_ = Spawn(args, out_, err_);
        // The first line names the port once it is ready.
        std::string line;
        char c;
        while (::read(out_, &c, 1) == 1 && c != '\n') line += c;
        EXPECT_NE(line.find("zr250pro-sim: port /dev/pts/"), std::string::npos) << line;
    }
    ~Simulator() { Stop(); }
    int Stop() {
        if (pid_ <= 0) return status_;
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        close(out_);
        close(err_);
        pid_ = -1;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return status_;
    }
    const std::string& link() const { return link_; }

private:
    std::string link_;
    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    int status_ = -1;
};

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
    PagerImage pager = StartupImage();
    pager[1] = 5;
    pager[2] = 10;
    SealImageForWrite(pager);
    PagerImage edited = pager;
    edited[70] = 60;  // piece 8, and the checksum in piece 31
    testing::WriteAll(path("e.tbl"), Bytes(edited));
    PagerImage sealed = edited;
    SealImageForWrite(sealed);
    {
        Simulator simulator(dir, {"--dump", path("dump.tbl"), "--log", path("requests.log")});
        const Outcome write = Cli({"write", "--changed-only", "--port", simulator.link(), path("e.tbl")});
        EXPECT_EQ(write.status, 0);
        EXPECT_EQ(write.out, "ZR250Pro: Write Sucess !\n");
        EXPECT_NE(write.err.find("zr250pro-cli: 2 of 32 pieces sent\n  Verify Now ......\n"), std::string::npos)
            << write.err;
        EXPECT_EQ(simulator.Stop(), 0);
        EXPECT_EQ(ReadAll(path("dump.tbl")), Bytes(sealed));
        EXPECT_EQ(Lines(ReadAll(path("requests.log"))),
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

    const Outcome missing = Cli({"write", "--port", simulator.link(), path("missing.tbl")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "ZR250Pro: Open Error!\n");
}

}  // namespace
}  // namespace zr

// zr250pro-cli's device commands against zr250pro-sim, both as the technician runs them.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "comm_port.h"
#include "pager_image.h"
#include "pager_simulator.h"
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

// Runs a program to its end; `args` begins with its path.
Outcome RunProgram(const std::vector<std::string>& args) {
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

Outcome Cli(std::vector<std::string> args) {
    args.insert(args.begin(), ZR250PRO_CLI);
    return RunProgram(args);
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

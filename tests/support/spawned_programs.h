// zr250pro-cli and zr250pro-sim run as separate programs, as a technician runs them: their exit
// status and what they print.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace zr::testing {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ReadToEnd(int fd) {
    std::string text;
    char chunk[4096];
    for (ssize_t got; (got = ::read(fd, chunk, sizeof chunk)) > 0;) text.append(chunk, static_cast<std::size_t>(got));
    return text;
}

// Starts a program with its standard output and error on pipes.
inline pid_t Spawn(const std::vector<std::string>& args, int& out, int& err) {
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
inline Outcome RunProgram(const std::vector<std::string>& args) {
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

inline Outcome Cli(std::vector<std::string> args) {
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
    pid_t pid() const { return pid_; }

private:
    std::string link_;
    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    int status_ = -1;
};

// Reads from `fd` into `text` until it holds `part` at or after `from`; false when the program ends
// or `limit` passes first.
inline bool ReadUntil(int fd, std::string& text, const std::string& part, std::size_t from = 0,
                      std::chrono::milliseconds limit = std::chrono::seconds(30)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (text.find(part, from) == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd readable{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&readable, 1, static_cast<int>(left.count())) <= 0) return false;
        char chunk[512];
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got <= 0) return false;
        text.append(chunk, static_cast<std::size_t>(got));
    }
    return true;
}

}  // namespace zr::testing

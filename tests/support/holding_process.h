// Another program holding a serial line open, as `cat PORT` or a terminal program would: a child
// process with the port as its standard input and no lock of any kind.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

namespace zr::testing {

class HoldingProcess {
public:
    explicit HoldingProcess(const std::string& port) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, port.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK, 0);
        char sleep[] = "sleep", seconds[] = "600";
        char* argv[] = {sleep, seconds, nullptr};
        const int result = posix_spawnp(&pid_, "sleep", &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        // posix_spawn returns once the child runs the program, its standard input already open.
        if (result != 0) throw std::runtime_error("cannot start a process holding " + port);
    }
    ~HoldingProcess() {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    HoldingProcess(const HoldingProcess&) = delete;
    HoldingProcess& operator=(const HoldingProcess&) = delete;

    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = 0;
};

}  // namespace zr::testing

// A PulseAudio server of the test's own, with a null sink as its default output, for playing pages
// where there is no sound card: what is played can be recorded from the sink's monitor.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace zr::testing {

// Runs `script` in bash, its output discarded; the exit status.
inline int Shell(const std::string& script) {
    return std::system(("bash -c '" + script + "' >/dev/null 2>&1").c_str());
}

inline bool HaveSoundServerPrograms() { return Shell("command -v pulseaudio && command -v pactl && command -v parec") == 0; }

class SoundServer {
public:
    static constexpr const char* kSink = "page_test";

    explicit SoundServer(const std::filesystem::path& dir)
        : runtime_(dir / "run"), socket_((dir / "run" / "pulse.sock").string()) {
        environment_ = "export HOME=" + dir.string() + " XDG_RUNTIME_DIR=" + runtime_.string() +
                       " PULSE_SERVER=unix:" + socket_ + "; ";
        std::filesystem::create_directories(runtime_);
        std::filesystem::permissions(runtime_, std::filesystem::perms::owner_all);
        // No default script: only a socket of our own and the null sink, made the default output.
        running_ = Run("pulseaudio --daemonize=yes --exit-idle-time=-1 -n --load=\"module-native-protocol-unix socket=" +
                       socket_ + " auth-anonymous=1\" --load=\"module-null-sink sink_name=" + kSink +
                       "\" && for i in $(seq 50); do pactl info && break; sleep 0.1; done; pactl set-default-sink " +
                       kSink) == 0;
    }
    ~SoundServer() {
        if (running_) Run("pactl exit");
    }
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    bool Running() const { return running_; }
    // Runs `script` with the server as the sound output.
    int Run(const std::string& script) const { return Shell(environment_ + script); }
    // Makes the server this process's sound output too.
    void UseInThisProcess() const {
        setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
        setenv("PULSE_SERVER", ("unix:" + socket_).c_str(), 1);
    }

private:
    std::filesystem::path runtime_;
    std::string socket_;
    std::string environment_;
    bool running_ = false;
};

}  // namespace zr::testing

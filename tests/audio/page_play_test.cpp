// A page played through the sound output into a null sink of a PulseAudio server this test starts,
// the sink's monitor recorded and decoded: what a radio's microphone input would have heard.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "sound_file.h"
#include "temp_dir.h"

namespace zr {
namespace {

int Shell(const std::string& script) { return std::system(("bash -c '" + script + "' >/dev/null").c_str()); }

class SoundServer {
public:
    explicit SoundServer(const std::filesystem::path& dir) : dir_(dir) {
        const std::string socket = (dir / "run" / "pulse.sock").string();
        environment_ = "export HOME=" + dir.string() + " XDG_RUNTIME_DIR=" + (dir / "run").string() +
                       " PULSE_SERVER=unix:" + socket + "; ";
        std::filesystem::create_directories(dir / "run");
        std::filesystem::permissions(dir / "run", std::filesystem::perms::owner_all);
        // No default script: only the null sink, made the default output, and a socket of our own.
        running_ = Shell(environment_ + "pulseaudio --daemonize=yes --exit-idle-time=-1 -n "
                         "--load=\"module-native-protocol-unix socket=" + socket + " auth-anonymous=1\" "
                         "--load=\"module-null-sink sink_name=page_test\""
                         ">/dev/null 2>&1 && for i in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done; "
                         "pactl set-default-sink page_test") == 0;
    }
    ~SoundServer() {
        if (running_) Shell(environment_ + "pactl exit >/dev/null 2>&1");
    }
    bool Running() const { return running_; }
    int Run(const std::string& script) const { return Shell(environment_ + script); }

private:
    std::filesystem::path dir_;
    std::string environment_;
    bool running_ = false;
};

TEST(PagePlay, APlayedPageComesOutOfTheSoundOutputAsMade) {
    if (Shell("command -v pulseaudio && command -v pactl && command -v parec") != 0)
        GTEST_SKIP() << "no PulseAudio (pulseaudio, pactl, parec) here to play a page into";
    testing::TempDir dir;
    const SoundServer server(dir.path());
    if (!server.Running()) GTEST_SKIP() << "a PulseAudio server with a null sink cannot run here";
    const std::string cli = ZR250PRO_CLI, base = (dir / "base.tbl").string(), recording = (dir / "heard.wav").string();
    ASSERT_EQ(server.Run(cli + " default -o " + base + " >/dev/null"), 0);
    ASSERT_EQ(server.Run("parec -d page_test.monitor --rate=48000 --channels=1 --format=s16le --file-format=wav " +
                         recording + " & recorder=$!; sleep 0.3; " + cli + " page " + base +
                         " --call 1 --tone1-seconds 0.6 --tone2-seconds 1.2 --play >/dev/null; played=$?; "
                         "sleep 0.2; kill $recorder; wait $recorder; exit $played"),
              0);

    const auto decoded = DecodeSoundFile(recording);
    ASSERT_TRUE(std::holds_alternative<DecodedRecording>(decoded)) << std::get<std::string>(decoded);
    const auto& pages = std::get<DecodedRecording>(decoded).pages;
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NEAR(pages[0].tone1.hz, 669.9, 0.5);  // the default image's call 1
    ASSERT_TRUE(pages[0].tone2);
    EXPECT_NEAR(pages[0].tone2->hz, 707.3, 0.5);
    EXPECT_NEAR(pages[0].tone2->seconds, 1.2, 0.1);
}

}  // namespace
}  // namespace zr

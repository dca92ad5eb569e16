// A page played through the sound output into a null sink of a PulseAudio server this test starts,
// the sink's monitor recorded and decoded: what a radio's microphone input would have heard.
#include <gtest/gtest.h>

#include "sound_file.h"
#include "sound_server.h"
#include "temp_dir.h"

namespace zr {
namespace {

TEST(PagePlay, APlayedPageComesOutOfTheSoundOutputAsMade) {
    if (!testing::HaveSoundServerPrograms()) GTEST_SKIP() << "no PulseAudio (pulseaudio, pactl, parec) here to play a page into";
    testing::TempDir dir;
    const testing::SoundServer server(dir.path());
    if (!server.Running()) GTEST_SKIP() << "a PulseAudio server with a null sink cannot run here";
    const std::string cli = ZR250PRO_CLI, base = (dir / "base.tbl").string(), recording = (dir / "heard.wav").string();
    ASSERT_EQ(server.Run(cli + " default -o " + base), 0);
    ASSERT_EQ(server.Run("parec -d " + std::string(testing::SoundServer::kSink) +
                         ".monitor --rate=48000 --channels=1 --format=s16le --file-format=wav " + recording +
                         " & recorder=$!; sleep 0.3; " + cli + " page " + base +
                         " --call 1 --tone1-seconds 0.6 --tone2-seconds 1.2 --play; played=$?; "
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

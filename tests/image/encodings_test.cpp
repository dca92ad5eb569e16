#include <gtest/gtest.h>

#include "encodings.h"

namespace zr {
namespace {

TEST(LevelBytes, VoltsToLevelByteRoundsHalvesToEven) {
    const struct {
        double volts;
        std::uint8_t byte;
    } cases[] = {{0.96, 82}, {0.80, 68}, {0.50, 42}, {1.0, 85}, {0.0, 0}, {0.71, 60}, {0.88, 75}, {0.98, 83}};
    for (const auto& c : cases) EXPECT_EQ(VoltsToLevelByte(c.volts), c.byte) << c.volts;
}

TEST(LevelBytes, LevelByteToVoltsShowsTwoDecimals) {
    EXPECT_EQ(LevelByteToVolts(68), "0.80");
    EXPECT_EQ(LevelByteToVolts(82), "0.96");
    EXPECT_EQ(LevelByteToVolts(60), "0.71");
    EXPECT_EQ(LevelByteToVolts(42), "0.49");
    EXPECT_EQ(LevelByteToVolts(85), "1.00");
    EXPECT_EQ(LevelByteToVolts(255), "3.00");
}

TEST(HalfSeconds, ShowOneDecimal) {
    EXPECT_EQ(HalfSecondsText(16), "8.0");
    EXPECT_EQ(HalfSecondsText(255), "127.5");
    EXPECT_EQ(HalfSecondsText(7), "3.5");
    EXPECT_EQ(HalfSecondsText(0), "0.0");
}

TEST(Tones, ShowAtLeastFourCharacters) {
    EXPECT_EQ(ToneText(6699), "669.9");
    EXPECT_EQ(ToneText(50), "05.0");
    EXPECT_EQ(ToneText(24682), "2468.2");
}

TEST(SquelchLevelSelection, SpeakerOffAloneDecides) {
    EXPECT_EQ(FindSquelchLevel(kBuiltInSquelchLevels, 68), 4u);  // 0.80
    EXPECT_EQ(FindSquelchLevel(kBuiltInSquelchLevels, 82), 0u);  // 0.96
    EXPECT_EQ(FindSquelchLevel(kBuiltInSquelchLevels, 75), 2u);  // 0.88
    EXPECT_FALSE(FindSquelchLevel(kBuiltInSquelchLevels, 81));   // 0.95
    EXPECT_FALSE(FindSquelchLevel(kBuiltInSquelchLevels, 0));
}

}  // namespace
}  // namespace zr

#include <gtest/gtest.h>

#include "squelch_levels.h"

namespace zr {
namespace {

TEST(SquelchRepair, PairsThatAgreeWithALevelStay) {
    const std::pair<int, int> kept[] = {{81, 84}, {82, 84}, {78, 84}, {74, 83}, {75, 83}, {71, 82}, {68, 81}, {68, 82}};
    for (const auto& [off, on] : kept) {
        PagerImage image;
        image[79] = static_cast<std::uint8_t>(off);
        image[76] = static_cast<std::uint8_t>(on);
        EXPECT_FALSE(RepairSquelchThresholds(image, BuiltInSquelchLevelTable())) << off << "/" << on;
        EXPECT_EQ(image[79], off);
        EXPECT_EQ(image[76], on);
    }
}

TEST(SquelchRepair, OtherPairsBecomeLevelFive) {
    const std::pair<int, int> replaced[] = {{100, 100}, {70, 84}, {82, 82}, {82, 70}, {0, 0}, {68, 83}};
    for (const auto& [off, on] : replaced) {
        PagerImage image;
        image[79] = static_cast<std::uint8_t>(off);
        image[76] = static_cast<std::uint8_t>(on);
        EXPECT_TRUE(RepairSquelchThresholds(image, BuiltInSquelchLevelTable())) << off << "/" << on;
        EXPECT_EQ(image[79], 68);
        EXPECT_EQ(image[76], 82);
    }
}

TEST(SquelchRepair, ReplacementStaysFixedWhenTheTableChanges) {
    SquelchLevelTable levels = BuiltInSquelchLevelTable();
    levels[4] = {50, 60};  // level 5 edited: 0.50/0.60 V
    PagerImage image;
    image[79] = 42;  // 0.50 V agrees with the edited level 5 only by truncation of 42.5
    image[76] = 51;
    EXPECT_FALSE(RepairSquelchThresholds(image, levels));
    image[79] = 68;
    image[76] = 82;  // the built-in pair no longer agrees with any level, and is still what the repair writes
    EXPECT_TRUE(RepairSquelchThresholds(image, levels));
    EXPECT_EQ(image[79], 68);
    EXPECT_EQ(image[76], 82);
}

TEST(SquelchRepair, RoundHalfUp) {
    EXPECT_EQ(RoundHalfUp(81.6), 82);
    EXPECT_EQ(RoundHalfUp(42.5), 43);
    EXPECT_EQ(RoundHalfUp(74.49), 74);
}

}  // namespace
}  // namespace zr

// Choosing a squelch level, finding the level of an image, and editing the level table.
#include <gtest/gtest.h>

#include "encodings.h"
#include "squelch_levels.h"

namespace zr {
namespace {

TEST(SquelchLevel, ChoosingALevelStoresItsPair) {
    const std::tuple<std::size_t, const char*, const char*, std::uint8_t, std::uint8_t> cases[] = {
        {0, "0.96", "0.99", 82, 84}, {2, "0.88", "0.98", 75, 83}, {4, "0.80", "0.96", 68, 82}};
    for (const auto& [level, off, on, offByte, onByte] : cases) {
        PagerImage image = StartupImage();
        const auto answer = SquelchLevelClick(image, BuiltInSquelchLevelTable(), level);
        EXPECT_EQ(answer.FinalText("edtSSI"), off);
        EXPECT_EQ(answer.FinalText("edtRSSI2"), on);
        EXPECT_EQ(image[79], offByte);
        EXPECT_EQ(image[76], onByte);
    }
}

TEST(SquelchLevel, TheSpeakerOffThresholdAloneSelects) {
    const auto levels = BuiltInSquelchLevelTable();
    EXPECT_EQ(SelectSquelchLevel(levels, 68), std::optional<std::size_t>(4));
    EXPECT_EQ(SelectSquelchLevel(levels, 82), std::optional<std::size_t>(0));
    EXPECT_EQ(SelectSquelchLevel(levels, 81), std::nullopt);  // shown as 0.95
    EXPECT_EQ(SelectSquelchLevel(levels, 42), std::nullopt);
}

TEST(SquelchLevel, EditingTheTableReappliesTheSelectedLevel) {
    PagerImage image = StartupImage();
    SquelchLevelTable levels = BuiltInSquelchLevelTable();
    auto answer = SquelchTableFieldExit(image, levels, 4, SquelchColumn::SpeakerOff, "0.57", std::size_t{4});
    EXPECT_EQ(levels[4].offHundredths, 57);
    EXPECT_EQ(answer.FinalText("edtSQL_OFF4"), "0.57");
    EXPECT_EQ(answer.FinalText("edtSSI"), "0.57");
    EXPECT_EQ(image[79], VoltsToLevelByte(0.57));

    answer = SquelchTableFieldExit(image, levels, 1, SquelchColumn::SpeakerOn, "1.234", std::nullopt);
    EXPECT_EQ(levels[1].onHundredths, 123);
    EXPECT_EQ(answer.FinalText("edtSQL_ON1"), "1.23");
    EXPECT_FALSE(answer.FinalText("edtSSI").has_value());

    answer = SquelchTableFieldExit(image, levels, 1, SquelchColumn::SpeakerOn, "", std::nullopt);
    EXPECT_EQ(answer.FinalText("edtSQL_ON1"), "1.23");
    const auto before = levels;
    answer = SquelchTableFieldExit(image, levels, 1, SquelchColumn::SpeakerOn, "x", std::nullopt);
    EXPECT_EQ(answer.outcome, EditOutcome::Refused);
    EXPECT_EQ(levels, before);
    EXPECT_EQ(SquelchTableFieldExit(image, levels, 5, SquelchColumn::SpeakerOn, "1", std::nullopt).outcome,
              EditOutcome::NothingToDo);
}

TEST(SquelchLevel, TableShownWithTwoDecimals) {
    const auto answer = ShowSquelchLevelTable(BuiltInSquelchLevelTable());
    EXPECT_EQ(answer.FinalText("edtSQL_OFF0"), "0.96");
    EXPECT_EQ(answer.FinalText("edtSQL_ON4"), "0.96");
    EXPECT_EQ(answer.steps.size(), 10u);
}

}  // namespace
}  // namespace zr

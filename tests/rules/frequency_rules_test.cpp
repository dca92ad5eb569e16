// Band, frequency, channel spacing and the synthesizer words.
#include <gtest/gtest.h>

#include "controls_as_loaded.h"
#include "entry_messages.h"
#include "frequency_rules.h"
#include "number_text.h"

namespace zr {
namespace {

struct FrequencyFixture : ::testing::Test {
    PagerImage image = StartupImage();
    SettingsEditorState state;
    FrequencyControls controls = testing::FrequencyControlsAsLoaded(image, state);

    EditorAnswer Leave(const std::string& text, std::optional<std::size_t> spacingItem) {
        controls.frequencyText = text;
        controls.spacingItem = spacingItem;
        return FrequencyExit(image, state, controls);
    }
    EditorAnswer Pick(std::size_t spacingItem, const std::string& text) {
        controls.frequencyText = text;
        controls.spacingItem = spacingItem;
        return ChannelSpacingClick(image, state, controls);
    }
    void SelectBand(std::size_t band) {
        BandClick(image, state, band);
        controls.bandItem = band;
    }
};

TEST_F(FrequencyFixture, SynthesizerWordsOfTheExamples) {
    struct Case {
        std::size_t band;
        const char* entry;
        std::size_t spacingItem;
        const char* pllr;
        const char* plln;
        std::uint8_t code;
    };
    const Case cases[] = {
        {kVhfBandItem, "1590000", 0, "00010011", "00158000", 0},
        {kVhfBandItem, "1590000", kAutoSpacingItem, "00008011", "000AC000", 32},
        {kVhfBandItem, "1590125", kAutoSpacingItem, "00010011", "00158080", 33},
        {kVhfBandItem, "1590100", kAutoSpacingItem, "00014011", "001AE080", 34},
        {kUhfBandItem, "4620000", 0, "00020011", "0044D800", 0},
        {kUhfBandItem, "4620125", 2, "00040011", "0089B100", 2},
    };
    for (const auto& c : cases) {
        SelectBand(c.band);
        const auto answer = Pick(c.spacingItem, c.entry);
        EXPECT_EQ(answer.outcome, EditOutcome::Stored) << c.entry;
        EXPECT_EQ(answer.FinalText("lblPLLR"), c.pllr) << c.entry;
        EXPECT_EQ(answer.FinalText("lblPLLN"), c.plln) << c.entry;
        EXPECT_EQ(FormatHex(GetWord32(image, 120), 8), c.pllr);
        EXPECT_EQ(FormatHex(GetWord32(image, 124), 8), c.plln);
        EXPECT_EQ(answer.FinalText("edtFreq"), c.entry);
        std::string digits;
        for (std::size_t k = 3; k <= 9; ++k) digits += static_cast<char>('0' + image[k]);
        EXPECT_EQ(digits, c.entry);
        EXPECT_EQ(image[10], c.code) << c.entry;
    }
}

TEST_F(FrequencyFixture, BandLimitsAreInclusive) {
    const Message vhf = PlainMessage("Frequency setting error(1350000 < = Frequency < =1740000 )");
    const Message uhf = PlainMessage("Frequency setting error(4000000 < = Frequency < =4990000 )");
    struct Case {
        std::size_t band;
        const char* entry;
        std::optional<Message> refusal;
    };
    const Case cases[] = {{kVhfBandItem, "1350000", {}}, {kVhfBandItem, "1740000", {}},
                          {kVhfBandItem, "1349999", vhf}, {kVhfBandItem, "1740001", vhf},
                          {kUhfBandItem, "4000000", {}},  {kUhfBandItem, "4990000", {}},
                          {kUhfBandItem, "3999999", uhf}, {kUhfBandItem, "4990001", uhf}};
    for (const auto& c : cases) {
        SelectBand(c.band);
        const PagerImage before = image;
        const auto answer = Leave(c.entry, 1);  // 10 K: every limit lies on the step
        if (!c.refusal) {
            EXPECT_EQ(answer.outcome, EditOutcome::Stored) << c.entry;
            continue;
        }
        EXPECT_EQ(answer.Messages(), std::vector<Message>{*c.refusal}) << c.entry;
        EXPECT_EQ(std::get<SetFocus>(answer.steps.back()).control, "edtFreq");
        EXPECT_FALSE(answer.FinalText("edtFreq").has_value());  // the typed text stays
        EXPECT_EQ(image, before);
    }
}

TEST_F(FrequencyFixture, OffTheStepIsRefusedAndKeepsTheWords) {
    const PagerImage before = image;
    for (const auto& [entry, item] : {std::pair{"1590010", kAutoSpacingItem}, std::pair{"1590050", std::size_t{0}}}) {
        const auto answer = Leave(entry, item);
        EXPECT_EQ(answer.Messages(), std::vector<Message>{WarningMessage("Channel Spacing Error!")}) << entry;
        EXPECT_EQ(std::get<SetFocus>(answer.steps.back()).control, "edtFreq");
        EXPECT_EQ(image, before);
    }
}

TEST_F(FrequencyFixture, EmptyShowsTheStoredFrequencyAndRecomputesTheWords) {
    // The built-in words belong to a 12.5 kHz step while its code asks for Auto at 25 kHz.
    controls.frequencyText = "";
    const auto answer = FrequencyExit(image, state, controls);
    EXPECT_EQ(answer.FinalText("edtFreq"), "1590000");
    EXPECT_EQ(answer.FinalText("lblPLLN"), "000AC000");
}

TEST_F(FrequencyFixture, NothingIsStoredWithoutASpacingItemOrANumber) {
    const PagerImage before = image;
    EXPECT_EQ(Leave("1590000", std::nullopt).outcome, EditOutcome::NothingToDo);
    EXPECT_EQ(Leave("1590000", 7).outcome, EditOutcome::NothingToDo);
    const auto pasted = Leave("159.0", 0);
    EXPECT_EQ(pasted.Messages(), std::vector<Message>{NotAWholeNumberMessage("159.0")});
    EXPECT_EQ(image, before);
}

TEST_F(FrequencyFixture, BandSwitchesRebuildTheSpacingList) {
    auto answer = BandClick(image, state, kUhfBandItem);
    EXPECT_EQ(std::get<SetItems>(answer.steps[0]).items, (std::vector<std::string>{"12.5 K", "10 K", "6.25 K", "5 K"}));
    EXPECT_EQ(answer.FinalSelection("cboCSpace"), std::optional<std::size_t>(0));  // Auto code 32 -> "12.5 K"
    EXPECT_EQ(answer.FinalText("lblMUTL"), "2");
    EXPECT_EQ(answer.FinalText("edtFreq"), "4620000");
    EXPECT_EQ(image[3], 4);
    EXPECT_EQ(image[10], 0);
    EXPECT_EQ(state.bandMultiplier, 2u);

    controls.bandItem = kUhfBandItem;
    Pick(3, "4620000");  // "5 K"
    ASSERT_EQ(image[10], 3);
    answer = BandClick(image, state, kVhfBandItem);
    EXPECT_EQ(answer.FinalSelection("cboCSpace"), std::optional<std::size_t>(0));
    EXPECT_EQ(image[10], 0);
    EXPECT_EQ(answer.FinalText("edtFreq"), "1590000");
    EXPECT_EQ(image[3], 1);
    EXPECT_EQ(answer.Messages().size(), 0u);
}

TEST_F(FrequencyFixture, AutoPickKeepsTheCodeOfTheStepInForce) {
    Leave("1590125", kAutoSpacingItem);  // 12 500 Hz now in force, code 33
    Pick(1, "1590125");
    EXPECT_EQ(image[10], 1);
    const auto answer = Pick(kAutoSpacingItem, "1590125");
    EXPECT_EQ(answer.outcome, EditOutcome::Stored);
    EXPECT_EQ(image[10], 33);
}

TEST(FrequencyLoad, TheBuiltInImageTakesTheTwentyFiveKilohertzStep) {
    // As a load runs them: the stored frequency shown, then the band pick of offset 3.
    PagerImage image = StartupImage();
    SettingsEditorState state;
    ShowFrequencyFromImage(image, state);
    const auto answer = BandClick(image, state, kVhfBandItem);
    EXPECT_EQ(answer.FinalSelection("cboCSpace"), std::optional<std::size_t>(kAutoSpacingItem));
    EXPECT_EQ(answer.FinalText("lblPLLR"), "00008011");
    EXPECT_EQ(answer.FinalText("lblPLLN"), "000AC000");
    EXPECT_EQ(image[10], 32);
    EXPECT_EQ(state.channelStep, 25000u);
    EXPECT_EQ(answer.Messages().size(), 0u);
}

TEST(SpacingItemForCode, CodesThatSelectNoItemStayInsideTheLists) {
    EXPECT_EQ(SpacingItemForCode(kVhfBandItem, 37), kAutoSpacingItem);
    EXPECT_EQ(SpacingItemForCode(kVhfBandItem, 200), kAutoSpacingItem);
    EXPECT_EQ(SpacingItemForCode(kVhfBandItem, 3), std::optional<std::size_t>(0));
    EXPECT_EQ(SpacingItemForCode(kVhfBandItem, 4), std::nullopt);
    EXPECT_EQ(SpacingItemForCode(kUhfBandItem, 3), std::optional<std::size_t>(3));
    EXPECT_EQ(SpacingItemForCode(kUhfBandItem, 31), std::nullopt);
    EXPECT_EQ(SpacingItemForCode(kUhfBandItem, 40), std::optional<std::size_t>(0));
}

TEST(FrequencyState, AnAutoCodeOutsideTheListTakesNoStep) {
    PagerImage image = StartupImage();
    image[10] = 45;
    SettingsEditorState state;
    auto controls = testing::FrequencyControlsAsLoaded(image, state);
    EXPECT_EQ(state.channelStep, 12500u);
    controls.frequencyText = "1590010";  // no Auto step divides it
    EXPECT_EQ(FrequencyExit(image, state, controls).Messages(), std::vector<Message>{WarningMessage("Channel Spacing Error!")});
    EXPECT_EQ(state.channelStep, 12500u);
    EXPECT_EQ(image[10], 45);
}

}  // namespace
}  // namespace zr

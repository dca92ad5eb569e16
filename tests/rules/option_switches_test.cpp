// Option switches, Push To Listen, privacy and the reset control list.
#include <gtest/gtest.h>

#include "option_switches.h"

namespace zr {
namespace {

bool Enabled(const EditorAnswer& answer, const std::string& control) {
    std::optional<bool> enabled;
    for (const auto& step : answer.steps)
        if (const auto* set = std::get_if<SetEnabled>(&step); set && set->control == control) enabled = set->enabled;
    EXPECT_TRUE(enabled.has_value()) << control;
    return enabled.value_or(false);
}

bool Visible(const EditorAnswer& answer, const std::string& control) {
    std::optional<bool> visible;
    for (const auto& step : answer.steps)
        if (const auto* set = std::get_if<SetVisible>(&step); set && set->control == control) visible = set->visible;
    EXPECT_TRUE(visible.has_value()) << control;
    return visible.value_or(false);
}

std::size_t ResetItems(const EditorAnswer& answer) {
    for (auto step = answer.steps.rbegin(); step != answer.steps.rend(); ++step)
        if (const auto* set = std::get_if<SetItems>(&*step); set && set->control == "cboResetCon") return set->items.size();
    return 0;
}

TEST(Privacy, OnSwitchesPushToListenOffAndGreysTheMonitorFields) {
    PagerImage image = StartupImage();
    image[69] |= 0x02;  // Push To Listen on
    const auto answer = OptionSwitchClick(image, OptionSwitch::Privacy, true);
    EXPECT_EQ(GetImageBits(image, 69, 7, 1), 1u);
    EXPECT_EQ(GetImageBits(image, 69, 1, 1), 0u);
    EXPECT_EQ(answer.FinalSelection("cboPTL"), std::optional<std::size_t>(0));
    for (const char* control : {"cboPTL", "Label75", "edtAudioLock", "edtAutoMonitor", "chkSYSAudio"})
        EXPECT_FALSE(Enabled(answer, control)) << control;
    EXPECT_EQ(ResetItems(answer), 6u);
}

TEST(Privacy, OffSwitchesPushToListenOnInTheStoredMode) {
    for (const auto& [modeBit, item] : {std::pair{1u, std::size_t{2}}, std::pair{0u, std::size_t{1}}}) {
        PagerImage image = StartupImage();
        image[69] = 0x80;
        SetImageBits(image, 81, 4, modeBit, 1);
        const auto answer = OptionSwitchClick(image, OptionSwitch::Privacy, false);
        EXPECT_EQ(answer.FinalSelection("cboPTL"), std::optional<std::size_t>(item));
        EXPECT_EQ(image[69], 0x02);
        EXPECT_EQ(GetImageBits(image, 81, 4, 1), modeBit);
        EXPECT_EQ(ResetItems(answer), 4u);
        // Privacy off enables the audio lock time even while "Audio lock on" is off.
        EXPECT_TRUE(Enabled(answer, "edtAudioLock"));
        EXPECT_TRUE(Enabled(answer, "cboPTL"));
    }
}

TEST(PushToListen, OnTurnsTheRevertModesIntoAutoReset) {
    const std::pair<std::uint8_t, std::uint8_t> cases[] = {{2, 0}, {5, 0}, {0, 0}, {1, 1}, {3, 3}, {4, 4}, {9, 9}};
    for (const auto& [code, stored] : cases) {
        PagerImage image = StartupImage();
        image[67] = code;
        const auto answer = PushToListenClick(image, 1);
        EXPECT_EQ(image[67], stored) << int{code};
        EXPECT_EQ(GetImageBits(image, 69, 1, 1), 1u);
        EXPECT_EQ(GetImageBits(image, 81, 4, 1), 0u);
        EXPECT_EQ(ResetItems(answer), 4u);
    }
}

TEST(PushToListen, DisableOffersAllModesAndLeavesTheModeBit) {
    PagerImage image = StartupImage();
    image[69] = 0x03;
    image[81] |= 0x10;
    image[67] = 2;
    const auto answer = PushToListenClick(image, 0);
    EXPECT_EQ(image[69], 0x01);
    EXPECT_EQ(GetImageBits(image, 81, 4, 1), 1u);
    EXPECT_EQ(image[67], 2);
    EXPECT_EQ(answer.FinalSelection("cboResetCon"), std::optional<std::size_t>(4));
    EXPECT_EQ(PushToListenItemFor(image), 0u);
    PushToListenClick(image, 2);
    EXPECT_EQ(PushToListenItemFor(image), 2u);
}

TEST(ResetControl, CodesAndTheDelayField) {
    const std::pair<std::size_t, std::uint8_t> cases[] = {{0, 0}, {1, 1}, {2, 3}, {3, 4}, {4, 2}, {5, 5}};
    for (const auto& [item, code] : cases) {
        PagerImage image = StartupImage();
        const auto answer = ResetControlClick(image, item);
        EXPECT_EQ(image[67], code);
        const bool delayed = code == 1 || code == 4 || code == 5;
        for (const char* control : {"edtDelay", "Label26", "Label32"}) EXPECT_EQ(Visible(answer, control), delayed);
    }
}

TEST(ResetControl, NoSelectionLeavesAStoredCodeAlone) {
    PagerImage image = StartupImage();
    image[67] = 9;
    const auto answer = ResetControlClick(image, std::nullopt);
    EXPECT_EQ(image[67], 9);
    EXPECT_FALSE(Visible(answer, "edtDelay"));
    EXPECT_EQ(PushToListenClick(image, 0).FinalSelection("cboResetCon"), std::optional<std::optional<std::size_t>>(std::in_place, std::nullopt));
    EXPECT_EQ(image[67], 9);
}

TEST(OptionSwitches, BitsAndTheirEnabling) {
    PagerImage image = StartupImage();
    image[69] = 0;
    for (unsigned box = 1; box <= 8; ++box) {
        OptionSwitchClick(image, static_cast<OptionSwitch>(box), true);
        EXPECT_EQ(GetImageBits(image, 69, box - 1, 1), 1u) << box;
    }
    EXPECT_FALSE(Enabled(OptionSwitchClick(image, OptionSwitch::SaveVoice, false), "cboRecordMax"));
    EXPECT_FALSE(Enabled(OptionSwitchClick(image, OptionSwitch::AudioLock, false), "edtAudioLock"));
    EXPECT_EQ(image[69] & 0x05, 0);

    image[82] = 12;
    const auto fullTime = FullTimeAutoMonitorClick(image, false);
    EXPECT_EQ(GetImageBits(image, 81, 2, 1), 0u);
    EXPECT_FALSE(Enabled(fullTime, "edtDelayFullTime"));
    EXPECT_FALSE(Enabled(fullTime, "lblStandbySec"));
    EXPECT_EQ(image[82], 12);
    PriorityMaxVolumeClick(image, false);
    EXPECT_EQ(GetImageBits(image, 81, 3, 1), 0u);
    SquelchRecordClick(image, true);
    EXPECT_EQ(GetImageBits(image, 81, 5, 1), 1u);
    NarrowbandClick(image, true);
    EXPECT_EQ(image[128], 1);
}

TEST(ListPicks, StoreTheirCodes) {
    PagerImage image = StartupImage();
    ReminderClick(image, 3);
    EXPECT_EQ(image[70], 240);
    LowBatteryReminderClick(image, 2);
    EXPECT_EQ(image[84], 10);
    RecordSectionsClick(image, 1);
    EXPECT_EQ(image[62], 1);
    const PagerImage before = image;
    EXPECT_EQ(LowBatteryClick(image, 4).outcome, EditOutcome::NothingToDo);
    EXPECT_EQ(ReminderClick(image, 4).outcome, EditOutcome::NothingToDo);
    EXPECT_EQ(RecordSectionsClick(image, 3).outcome, EditOutcome::NothingToDo);
    EXPECT_EQ(image, before);
}

TEST(OptionSwitches, EnablingAsLoadedLetsPrivacyDecideLast) {
    // Privacy off enables the audio lock time even while "Audio lock on" is off.
    const auto open = OptionEnablingAsLoaded(false, false, false);
    EXPECT_FALSE(Enabled(open, "cboRecordMax"));
    EXPECT_TRUE(Enabled(open, "edtAudioLock"));
    EXPECT_TRUE(Enabled(open, "cboPTL"));
    const auto privacy = OptionEnablingAsLoaded(true, true, true);
    EXPECT_TRUE(Enabled(privacy, "Label21"));
    for (const char* control : {"chkSYSAudio", "edtAudioLock", "edtAutoMonitor", "Label23", "Label30", "Label75", "cboPTL"})
        EXPECT_FALSE(Enabled(privacy, control)) << control;
}

TEST(OptionSwitches, ModifyModeOnlyGreysWhatTheSwitchesKeepGreyed) {
    EXPECT_TRUE(OptionGreyingForModifyMode(true, true, false).steps.empty());
    const auto privacy = OptionGreyingForModifyMode(true, true, true);
    for (const char* control : {"chkSYSAudio", "edtAudioLock", "edtAutoMonitor", "Label24", "Label31", "Label23",
                                "Label30", "Label75", "cboPTL"})
        EXPECT_FALSE(Enabled(privacy, control)) << control;
    const auto switchesOff = OptionGreyingForModifyMode(false, false, false);
    for (const char* control : {"edtAudioLock", "Label24", "Label31", "cboRecordMax", "Label21"})
        EXPECT_FALSE(Enabled(switchesOff, control)) << control;
    for (const auto& step : switchesOff.steps) EXPECT_FALSE(std::get<SetEnabled>(step).enabled);
}

}  // namespace
}  // namespace zr

// Tone entry in both modes, the tone spacing rule and the call switches.
#include <gtest/gtest.h>

#include <set>

#include "call_switches.h"
#include "decoder_bandwidth.h"
#include "controls_as_loaded.h"
#include "encodings.h"
#include "standard_tones.h"
#include "tone_code.h"
#include "tone_entry.h"

namespace zr {
namespace {

constexpr ToneField kCall1Tone1{ToneKind::Tone1, 1};
constexpr ToneField kCall1Tone2{ToneKind::Tone2, 1};
constexpr ToneField kCall2Tone1{ToneKind::Tone1, 2};
constexpr ToneField kGroup1{ToneKind::Group, 1};

TEST(DecoderBandwidth, ListItemsAndTheirEdges) {
    PagerImage image = StartupImage();
    const std::pair<std::uint8_t, double> items[] = {{0, 0.1}, {7, 1.5}, {15, 3.1}};
    for (const auto& [code, percent] : items) {
        image[49] = code;
        EXPECT_EQ(DecoderBandwidthPercent(image), percent) << int(code);
    }
    image[49] = 16;
    EXPECT_EQ(DecoderBandwidthPercent(image), std::nullopt);

    // 1.5 % of 1000 Hz is 15 Hz either way; 562.3 Hz and 562.5 Hz are about 0.036 % apart.
    EXPECT_TRUE(ToneWithinBandwidth(1015.0, 1000.0, 1.5));
    EXPECT_TRUE(ToneWithinBandwidth(985.0, 1000.0, 1.5));
    EXPECT_FALSE(ToneWithinBandwidth(1015.1, 1000.0, 1.5));
    EXPECT_TRUE(ToneWithinBandwidth(562.5, 562.3, 0.1));
    EXPECT_NEAR(ToneOffsetPercent(562.5, 562.3), 0.2 / 562.3 * 100.0, 1e-12);
}

TEST(ToneCode, Examples) {
    const std::pair<std::uint16_t, std::uint16_t> cases[] = {
        {3305, 0x8558}, {6699, 0x8B0B}, {10000, 0x9086}, {24682, 0xA88C}, {2800, 0x84A0}, {35000, 0xBA02}, {7073, 0x8B95}};
    for (const auto& [tenths, code] : cases) EXPECT_EQ(EncodeToneCode(tenths), code) << tenths;
}

TEST(ToneCode, StaysWithinItsFieldsOverTheUserRange) {
    for (std::uint32_t q = 2800; q <= 35000; ++q) {
        const std::uint16_t code = EncodeToneCode(static_cast<std::uint16_t>(q));
        ASSERT_EQ(code >> 15, 1u) << q;
        ASSERT_LE((code >> 7) & 0xFF, 116u) << q;
        ASSERT_LE(code & 0x7F, 99u) << q;
    }
}

TEST(StandardTones, TableAndSortedList) {
    std::multiset<std::uint16_t> all;
    for (const auto& group : kStandardToneTable) all.insert(group.tenths.begin(), group.tenths.end());
    EXPECT_EQ(all.size(), 140u);
    EXPECT_EQ(all.count(7674), 2u);
    EXPECT_EQ(all.count(8325), 2u);
    EXPECT_EQ(std::set<std::uint16_t>(all.begin(), all.end()).size(), 138u);
    EXPECT_TRUE(std::is_sorted(kSortedStandardTones.begin(), kSortedStandardTones.end()));
    EXPECT_EQ(kStandardToneTable[2].tenths[0], 10924);  // "Mot 3" digit 0 is 1092.4
    EXPECT_EQ(kStandardToneTable[11].header, "GE A' ");
    EXPECT_EQ(kStandardToneTable[13].header, "GE C' ");
}

TEST(StandardTones, NearestSnapsUpOnTies) {
    const std::pair<std::int64_t, std::uint16_t> cases[] = {
        {6700, 6699}, {2925, 2965}, {2885, 2885}, {24682, 24682}, {24346, 24682}, {24345, 24010},
        {10000, 10069}, {7675, 7674}, {8326, 8325}};
    for (const auto& [typed, nearest] : cases) EXPECT_EQ(NearestStandardTone(typed), nearest) << typed;
}

struct ToneFixture : ::testing::Test {
    PagerImage image = StartupImage();
    ToneEditorState state;
    CallPage page = testing::CallPageAsLoaded(image, state);

    EditorAnswer Type(ToneField field, const std::string& text, std::uint8_t spacingTenths = 15) {
        ToneFieldEnter(state, page, field);
        page.Text(field) = text;
        return ToneExit(image, state, spacingTenths, page, field);
    }
    void StoreTone(ToneField field, std::uint16_t tenths) {
        SetWord16(image, ToneFrequencyOffset(field), tenths);
        page = testing::CallPageAsLoaded(image, state);
    }
    void SwitchOn(unsigned call) {
        SetImageBits(image, 48, call - 1, 1, 1);
        page = testing::CallPageAsLoaded(image, state);
    }
};

TEST_F(ToneFixture, UserModeStoresFrequencyAndCode) {
    state.mode = ToneEntryMode::User;
    StoreTone(kCall1Tone1, 1000);  // something else first, so the entry is a change
    const auto answer = Type(kCall1Tone1, "669.9");
    EXPECT_EQ(answer.outcome, EditOutcome::Stored);
    EXPECT_EQ(image[192], 0x1A);
    EXPECT_EQ(image[193], 0x2B);
    EXPECT_EQ(image[16], 0x8B);
    EXPECT_EQ(image[17], 0x0B);
    EXPECT_EQ(answer.FinalText("edtT11"), "669.9");
    EXPECT_EQ(state.toneValues[0], 6699);
    EXPECT_EQ(state.currentToneField, kCall1Tone1);
}

TEST_F(ToneFixture, StandardModeSnapsToTheNearestTone) {
    const std::pair<const char*, std::uint16_t> cases[] = {{"670", 6699}, {"292.5", 2965}, {"1000", 10069},
                                                           {"288.5", 2885}, {"2468.2", 24682}, {"669.96", 6699}};
    for (const auto& [typed, stored] : cases) {
        const auto answer = Type(kCall2Tone1, typed);
        EXPECT_EQ(answer.outcome, EditOutcome::Stored) << typed;
        EXPECT_EQ(GetWord16(image, 196), stored) << typed;
        EXPECT_EQ(GetWord16(image, 20), EncodeToneCode(stored)) << typed;
        EXPECT_EQ(answer.FinalText("edtT12"), ToneText(stored)) << typed;
    }
}

TEST_F(ToneFixture, RangesOfBothModes) {
    struct Case {
        ToneEntryMode mode;
        ToneField field;
        const char* typed;
        const char* message;
        const char* fieldShows;
    };
    const Case cases[] = {
        {ToneEntryMode::Standard, kCall2Tone1, "288.4", "Please insert a number between 288.5 to 2468.2", ""},
        {ToneEntryMode::Standard, kCall2Tone1, "2468.3", "Please insert a number between 288.5 to 2468.2", ""},
        {ToneEntryMode::Standard, kGroup1, "100", "Please insert a number between 288.5 to 2468.2", "330.5"},
        {ToneEntryMode::User, kCall2Tone1, "279.9", "Please insert a number between 280 to 3500.0", "279.9"},
        {ToneEntryMode::User, kCall2Tone1, "3500.1", "Please insert a number between 280 to 3500.0", "3500.1"},
        {ToneEntryMode::User, kCall2Tone1, "5", "Please insert a number between 280 to 3500.0", "05.0"},
    };
    for (const auto& c : cases) {
        state.mode = c.mode;
        const PagerImage before = image;
        const auto answer = Type(c.field, c.typed);
        EXPECT_EQ(answer.outcome, EditOutcome::Refused) << c.typed;
        ASSERT_EQ(answer.Messages().size(), 1u);
        EXPECT_EQ(answer.Messages()[0], WarningMessage(c.message));
        EXPECT_EQ(answer.FinalText(ToneControlName(c.field)), c.fieldShows) << c.typed;
        EXPECT_EQ(std::get<SetFocus>(answer.steps.back()).control, ToneControlName(c.field));
        EXPECT_EQ(image, before);
        EXPECT_EQ(state.currentToneField, c.field);
    }
    state.mode = ToneEntryMode::User;
    for (const char* typed : {"280.0", "3500.0"}) EXPECT_EQ(Type(kCall2Tone1, typed).outcome, EditOutcome::Stored);
}

TEST_F(ToneFixture, SameToneTwiceInOneCallIsRefusedInBothModes) {
    for (const auto mode : {ToneEntryMode::Standard, ToneEntryMode::User}) {
        state.mode = mode;
        const PagerImage before = image;
        const auto answer = Type(kCall1Tone1, "707.3");  // tone 2 of call 1 shows 707.3
        ASSERT_EQ(answer.Messages().size(), 1u);
        EXPECT_EQ(answer.Messages()[0], ToneSpacingMessage(15));
        EXPECT_EQ(answer.FinalText("edtT11"), "669.9");
        EXPECT_EQ(image, before);
        EXPECT_FALSE(state.currentToneField.has_value());
    }
}

TEST_F(ToneFixture, StandardModeComparesBeforeSnapping) {
    StoreTone(kCall1Tone2, 6699);
    StoreTone(kCall1Tone1, 7073);
    const auto answer = Type(kCall1Tone1, "670");  // 670.0 is not 669.9; snapping then makes them equal
    EXPECT_EQ(answer.outcome, EditOutcome::Stored);
    EXPECT_EQ(GetWord16(image, 192), 6699);
    EXPECT_EQ(GetWord16(image, 194), 6699);
}

TEST_F(ToneFixture, SpacingBordersAreThoseOf32BitFloats) {
    state.mode = ToneEntryMode::User;
    const std::pair<std::uint16_t, std::vector<std::pair<const char*, bool>>> cases[] = {
        {10000, {{"985.0", false}, {"1015.0", false}, {"1000.0", false}, {"985.1", true}, {"1014.9", true}}},
        {4200, {{"413.7", true}, {"426.3", true}, {"413.6", false}, {"426.4", false}}},
    };
    for (const auto& [other, entries] : cases) {
        StoreTone(kCall2Tone1, other);
        for (const auto& [typed, conflicts] : entries) {
            SwitchOn(2);
            EXPECT_EQ(Type(kCall1Tone1, typed).outcome, conflicts ? EditOutcome::Refused : EditOutcome::Stored) << typed;
            image[48] = 1;  // call 2 off: nothing conflicts
            page = testing::CallPageAsLoaded(image, state);
            EXPECT_EQ(Type(kCall1Tone1, typed).outcome, EditOutcome::Stored) << typed;
        }
    }
}

TEST_F(ToneFixture, SpacingFollowsTheDecoderBandwidth) {
    state.mode = ToneEntryMode::User;
    StoreTone(kCall2Tone1, 10000);
    SwitchOn(2);
    EXPECT_EQ(Type(kCall1Tone1, "1006.0", 5).outcome, EditOutcome::Stored);
    const auto answer = Type(kCall1Tone1, "1004.9", 5);
    ASSERT_EQ(answer.Messages().size(), 1u);
    EXPECT_NE(answer.Messages()[0].text.find("minimum of 0.5%. \n\nThe original"), std::string::npos);
}

TEST_F(ToneFixture, EmptyAndUnreadableEntriesStoreNothing) {
    const PagerImage before = image;
    const auto empty = Type(kCall1Tone1, "");
    EXPECT_EQ(empty.outcome, EditOutcome::NothingToDo);
    EXPECT_EQ(empty.FinalText("edtT11"), "669.9");
    const auto pasted = Type(kCall1Tone1, "6x9");
    EXPECT_EQ(pasted.outcome, EditOutcome::Refused);
    EXPECT_NE(pasted.Messages().at(0).text.find("'6x9'"), std::string::npos);
    EXPECT_EQ(Type(kCall1Tone1, "99999999999999999999999").outcome, EditOutcome::Refused);
    EXPECT_EQ(image, before);
}

TEST_F(ToneFixture, EnteringClearsTheFieldAndShowsTheHintInStandardMode) {
    auto answer = ToneFieldEnter(state, page, kGroup1);
    EXPECT_EQ(answer.FinalText("edtT31"), "");
    EXPECT_EQ(state.currentToneField, kGroup1);
    EXPECT_EQ(std::get<SetVisible>(answer.steps[0]), (SetVisible{"Label9", true}));
    state.mode = ToneEntryMode::User;
    answer = ToneFieldEnter(state, page, kCall1Tone1);
    EXPECT_EQ(answer.steps.size(), 1u);
}

TEST_F(ToneFixture, SwitchingACallOnTakesItsTonesAgain) {
    StoreTone(kCall2Tone1, 10000);
    auto answer = CallSwitchClick(image, state, 15, page, 2, true);
    EXPECT_EQ(answer.outcome, EditOutcome::Stored);
    EXPECT_EQ(image[48], 0x03);
    EXPECT_EQ(GetWord16(image, 196), 10069);  // Standard Mode snaps 1000.0 to 1006.9
    EXPECT_EQ(GetWord16(image, 20), EncodeToneCode(10069));
    EXPECT_EQ(answer.FinalText("edtT12"), "1006.9");
    EXPECT_EQ(std::get<SetEnabled>(answer.steps[0]), (SetEnabled{"edtT12", true}));

    answer = CallSwitchClick(image, state, 15, page, 2, false);
    EXPECT_EQ(image[48], 0x01);
    EXPECT_EQ(GetWord16(image, 196), 10069);
    EXPECT_EQ(answer.Messages().size(), 0u);
    EXPECT_EQ(std::get<SetEnabled>(answer.steps[4]), (SetEnabled{"chkPriority2", false}));
}

TEST_F(ToneFixture, EqualTonesGiveTwoMessagesAndTheCallStaysOn) {
    StoreTone({ToneKind::Tone1, 3}, 7073);
    StoreTone({ToneKind::Tone2, 3}, 7073);
    const auto answer = CallSwitchClick(image, state, 15, page, 3, true);
    EXPECT_EQ(answer.Messages().size(), 2u);
    EXPECT_EQ(answer.outcome, EditOutcome::Refused);
    EXPECT_EQ(GetImageBits(image, 48, 2, 1), 1u);
}

TEST_F(ToneFixture, UserModeConflictLeavesTheCallOnAndItsTone) {
    state.mode = ToneEntryMode::User;
    StoreTone(kCall1Tone1, 10000);
    StoreTone(kCall2Tone1, 10100);
    const auto answer = CallSwitchClick(image, state, 15, page, 2, true);
    EXPECT_EQ(answer.Messages(), std::vector<Message>{ToneSpacingMessage(15)});
    EXPECT_EQ(GetImageBits(image, 48, 1, 1), 1u);
    EXPECT_EQ(GetWord16(image, 196), 10100);
}

TEST_F(ToneFixture, DefaultTone2CodeIsReplacedWhenItsToneIsStored) {
    ASSERT_EQ(GetWord16(image, 18), 0x4B95);
    state.mode = ToneEntryMode::User;
    EXPECT_EQ(Type(kCall1Tone2, "707.3").outcome, EditOutcome::Stored);
    EXPECT_EQ(GetWord16(image, 18), 0x8B95);
}

TEST_F(ToneFixture, GroupSwitchAndPriorityBits) {
    auto answer = GroupCallSwitchClick(image, state, 15, page, 2, true);
    EXPECT_EQ(image[95], 0x02);
    EXPECT_EQ(GetWord16(image, 226), 6009);  // 600.9 is a standard tone already
    EXPECT_EQ(GetWord16(image, 89), EncodeToneCode(6009));
    image[100] = 0x45;
    PriorityClick(image, 3, true);
    EXPECT_EQ(image[100], 0xC5);
    GroupPriorityClick(image, 2, true);
    EXPECT_EQ(image[114], 0x80);
    EXPECT_EQ(PriorityClick(image, 5, true).outcome, EditOutcome::NothingToDo);
}

TEST_F(ToneFixture, CallControlsFollowTheSwitchWithoutStoring) {
    const PagerImage before = image;
    const auto call = EnableCallControls(3, false);
    EXPECT_EQ(call.steps.size(), 5u);
    EXPECT_EQ(call.steps.front(), EditorStep(SetEnabled{"edtT13", false}));
    EXPECT_EQ(call.steps.back(), EditorStep(SetEnabled{"chkPriority3", false}));
    const auto group = EnableGroupCallControls(2, true);
    EXPECT_EQ(group.steps.size(), 4u);
    EXPECT_EQ(group.steps.front(), EditorStep(SetEnabled{"edtT32", true}));
    EXPECT_TRUE(EnableCallControls(5, true).steps.empty());
    EXPECT_EQ(image, before);
}

}  // namespace
}  // namespace zr

// Every rule over images that no pager would hold: codes that select no item, digits above 9,
// tone words of any value. Nothing may read outside a table, and a refusal never stores.
#include <gtest/gtest.h>

#include <random>

#include "call_switches.h"
#include "controls_as_loaded.h"
#include "editor_load.h"
#include "frequency_rules.h"
#include "numeric_fields.h"
#include "option_switches.h"
#include "squelch_levels.h"

namespace zr {
namespace {

std::vector<PagerImage> HostileImages() {
    std::vector<PagerImage> images;
    PagerImage filled;
    filled.bytes.fill(0xFF);
    images.push_back(filled);
    images.push_back(PagerImage{});
    std::mt19937 random(250);
    for (int i = 0; i < 40; ++i) {
        PagerImage image;
        for (auto& byte : image.bytes) byte = static_cast<std::uint8_t>(random());
        images.push_back(image);
    }
    return images;
}

TEST(HostileImages, ToneRulesStayInsideTheirTables) {
    for (const auto& original : HostileImages()) {
        for (const auto mode : {ToneEntryMode::Standard, ToneEntryMode::User}) {
            PagerImage image = original;
            ToneEditorState state;
            state.mode = mode;
            CallPage page = testing::CallPageAsLoaded(image, state);
            for (std::size_t slot = 1; slot <= kToneSlots; ++slot) {
                const ToneField field = ToneFieldOfSlot(slot);
                for (const char* typed : {"", "669.9", "1000", "-3", "65535.9", "abc"}) {
                    const PagerImage before = image;
                    page.Text(field) = typed;
                    const auto answer = ToneExit(image, state, 255, page, field);
                    if (answer.outcome == EditOutcome::Refused) {
                        EXPECT_EQ(image, before) << typed;
                    }
                }
            }
            for (unsigned call = 1; call <= kCalls; ++call) CallSwitchClick(image, state, 0, page, call, true);
            for (unsigned group = 1; group <= kGroupCalls; ++group)
                GroupCallSwitchClick(image, state, 31, page, group, true);
        }
    }
}

TEST(HostileImages, SettingsRulesStayInsideTheirTables) {
    for (const auto& original : HostileImages()) {
        PagerImage image = original;
        SettingsEditorState state;
        auto controls = testing::FrequencyControlsAsLoaded(image, state);
        for (const std::optional<std::size_t> item : {std::optional<std::size_t>{}, std::optional<std::size_t>{0},
                                                      std::optional<std::size_t>{2}, std::optional<std::size_t>{9}}) {
            controls.spacingItem = item;
            ChannelSpacingClick(image, state, controls);
            const PagerImage before = image;
            controls.frequencyText = "1590010";
            if (FrequencyExit(image, state, controls).outcome == EditOutcome::Refused) {
                EXPECT_EQ(image, before);
            }
        }
        BandClick(image, state, kUhfBandItem);
        BandClick(image, state, kVhfBandItem);
        BandClick(image, state, 7);
        for (std::size_t item = 0; item < 4; ++item) PushToListenClick(image, item);
        for (unsigned box = 1; box <= 8; ++box) OptionSwitchClick(image, static_cast<OptionSwitch>(box), box % 2 == 0);
        ResetControlClick(image, std::nullopt);
        ResetControlClick(image, 17);
        for (const auto& field : kNumericFields) {
            EXPECT_FALSE(NumericFieldText(image, field).empty());
            for (const char* typed : {"", "1", "3.46", "127.5", "1e3", "65536"}) {
                const PagerImage before = image;
                if (NumericFieldExit(image, field, typed).outcome == EditOutcome::Refused) {
                    EXPECT_EQ(image, before) << typed;
                }
            }
        }
        SquelchLevelClick(image, state.squelchLevels, 5);
        EXPECT_LT(SelectSquelchLevel(state.squelchLevels, image[79]).value_or(0), 5u);
    }
}

// The whole load, one image after the other as a technician opens them: every list keeps a
// selection it has, and only the bytes the load's handlers own change.
TEST(HostileImages, TheLoadStaysInsideItsTablesAndWritesOnlyWhatItOwns) {
    EditorSession session = StartupEditorSession();
    for (const auto& original : HostileImages()) {
        session.image = original;
        session.Load();
        for (const auto& [name, list] : session.controls.lists)
            EXPECT_TRUE(!list.selected || *list.selected < list.count) << name;
        for (std::size_t offset = 0; offset < kImageSize; ++offset) {
            if (session.image[offset] == original[offset]) continue;
            const bool owned = (offset >= 3 && offset <= 10) || (offset >= 120 && offset <= 127) || offset == 67 ||
                               offset == 69 || offset == 70 || offset == 81 || offset == 128 ||
                               (offset >= 16 && offset <= 31) || (offset >= 87 && offset <= 90) ||
                               (offset >= 192 && offset <= 207) || (offset >= 224 && offset <= 227);
            EXPECT_TRUE(owned) << offset;
        }
    }
}

}  // namespace
}  // namespace zr

// The timing, level and decoder fields, their key filters and the Decoder Bandwidth pick.
#include <gtest/gtest.h>

#include "numeric_fields.h"

namespace zr {
namespace {

const NumericField& Field(std::string_view key) {
    const auto* field = FindNumericField(key);
    EXPECT_NE(field, nullptr) << key;
    return *field;
}

TEST(NumericFields, StoredValuesAsShown) {
    const PagerImage image = StartupImage();
    const std::pair<const char*, const char*> cases[] = {
        {"battery_save", "15"}, {"auto_monitor", "3.0"}, {"nrssi", "0.71"}, {"group_call_duration", "50"}};
    for (const auto& [key, shown] : cases) {
        EXPECT_EQ(NumericFieldText(image, Field(key)), shown) << key;
        PagerImage copy = image;
        const auto answer = NumericFieldExit(copy, Field(key), "");
        EXPECT_EQ(answer.outcome, EditOutcome::NothingToDo);
        EXPECT_EQ(answer.FinalText(std::string(Field(key).control)), shown);
    }
    PagerImage copy = image;
    const auto squelch = NumericFieldExit(copy, Field("carrier_off_delay"), "");
    EXPECT_EQ(std::get<SetFocus>(squelch.steps.back()).control, "edtNull");
}

struct Entry {
    const char* key;
    const char* typed;
    std::vector<std::pair<std::size_t, std::uint8_t>> bytes;  // empty: refused
    const char* shows = nullptr;                              // the text after the exit; null: as typed
    const char* message = nullptr;
};

TEST(NumericFields, EntriesTheFieldsTakeAndRefuse) {
    const Entry cases[] = {
        {"battery_save", "255", {{58, 255}}},
        {"battery_save", "256", {}, nullptr, "Please insert a number between 0 to 255"},
        {"battery_save", "-1", {}, nullptr, "Please insert a number between 0 to 255"},
        {"battery_save", "99999999999999999999", {}, nullptr, "Please insert a number between 0 to 255"},
        {"tone1_duration", "65535", {{52, 255}, {53, 255}}},
        {"tone1_duration", "300", {{52, 1}, {53, 44}}},
        {"tone1_duration", "65536", {}, nullptr, "Please insert a number between 0 to 65535"},
        {"gap_max", "255", {{78, 255}}},
        {"gap_max", "256", {}, nullptr, "Please insert a number between 0 to 255"},
        {"gap_max", "65535", {}, nullptr, "Please insert a number between 0 to 255"},
        {"gap_max", "65536", {}, nullptr, "Please insert a number between 0 to 65535"},
        {"gap_max", "99999999999999999999", {}, nullptr, "Please insert a number between 0 to 65535"},
        {"nrssi", "1", {{64, 85}}, "1.00"},
        {"nrssi", "0.5", {{64, 42}}, "0.50"},
        {"nrssi", "0.96", {{64, 82}}, "0.96"},
        {"nrssi", "1.2", {}, nullptr, "Please insert a number between 0 to 1"},
        {"speaker_on", "1.5", {}, nullptr, "Please insert a number between 0 to 1"},
        {"speaker_off", "0.50", {{79, 42}}, "0.50"},
        {"auto_monitor", "3", {{65, 6}}, "3.0"},
        {"auto_monitor", "0.5", {}, nullptr, "Please insert a number between 1 to 127.5"},
        {"audio_lock", "3.5", {{66, 7}}, "3.5"},
        {"audio_lock", "127.5", {{66, 255}}, "127.5"},
        {"audio_lock", "127.6", {}, nullptr, "Please insert a number between 1 to 127.5"},
        {"decoder_reset", "0", {{80, 0}}, "0.0"},
        {"reset_delay", "0", {{68, 0}}, "0.0"},
        {"standby_delay", "0", {{82, 0}}, "0.0"},
        {"standby_delay", "-0.5", {}, nullptr, "Please insert a number between 1 to 127.5"},
        {"standby_delay", "3.46", {{82, 7}}, "3.5"},
        {"standby_delay", "3.54", {{82, 7}}, "3.5"},
    };
    for (const auto& c : cases) {
        PagerImage image = StartupImage();
        const PagerImage before = image;
        const auto& field = Field(c.key);
        const auto answer = NumericFieldExit(image, field, c.typed);
        const std::string what = std::string(c.key) + "=" + c.typed;
        if (c.message) {
            EXPECT_EQ(answer.Messages(), std::vector<Message>{WarningMessage(c.message)}) << what;
            EXPECT_EQ(std::get<SetFocus>(answer.steps.back()).control, field.control) << what;
            EXPECT_FALSE(answer.FinalText(std::string(field.control)).has_value()) << what;
            EXPECT_EQ(image, before) << what;
            continue;
        }
        EXPECT_EQ(answer.outcome, EditOutcome::Stored) << what;
        for (const auto& [offset, value] : c.bytes) EXPECT_EQ(image[offset], value) << what << " @" << offset;
        if (c.shows) {
            EXPECT_EQ(answer.FinalText(std::string(field.control)), c.shows) << what;
        }
    }
}

TEST(NumericFields, OffTheHalfSecondStepShowsTheStoredTimeAgain) {
    for (const char* typed : {"3.2", "3.44", "3.04", "3.96"}) {
        PagerImage image = StartupImage();
        const PagerImage before = image;
        const auto answer = NumericFieldExit(image, Field("audio_lock"), typed);
        EXPECT_EQ(answer.Messages(), std::vector<Message>{WarningMessage("The interval is 0.5 second.")}) << typed;
        EXPECT_EQ(answer.FinalText("edtAudioLock"), "6.0") << typed;
        for (const auto& step : answer.steps) EXPECT_FALSE(std::holds_alternative<SetFocus>(step)) << typed;
        EXPECT_EQ(image, before);
    }
}

TEST(NumericFields, TextThatIsNoNumberIsRefusedByName) {
    const std::pair<const char*, const char*> cases[] = {
        {"battery_save", "12a"}, {"tone1_limit", "3.5"}, {"nrssi", "0,5"}, {"audio_lock", "abc"}};
    for (const auto& [key, typed] : cases) {
        PagerImage image = StartupImage();
        const auto answer = NumericFieldExit(image, Field(key), typed);
        ASSERT_EQ(answer.Messages().size(), 1u) << key;
        EXPECT_NE(answer.Messages()[0].text.find(std::string("'") + typed + "'"), std::string::npos);
        // The focus goes back, so the pasted text is corrected where it stands.
        EXPECT_EQ(answer.steps.back(), EditorStep(SetFocus{std::string(Field(key).control)})) << key;
        EXPECT_EQ(image, StartupImage());
    }
}

TEST(DecoderBandwidth, PickStoresTheIndexAndSetsTheSpacing) {
    PagerImage image = StartupImage();
    SettingsEditorState state;
    for (std::size_t item = 0; item < 16; ++item) {
        DecoderBandwidthClick(image, state, item);
        EXPECT_EQ(image[49], item);
        EXPECT_EQ(state.spacingTenths, 2 * item + 1);
    }
    EXPECT_EQ(DecoderBandwidthClick(image, state, 16).outcome, EditOutcome::NothingToDo);
    EXPECT_EQ(state.spacingTenths, 31);
}

TEST(KeyFilters, WholeTextDecides) {
    struct Case {
        const char* text;
        char key;
        bool oneDecimal;
        bool twoDecimals;
    };
    const Case cases[] = {
        {"", '.', false, false}, {"", '5', true, true},     {"66", '.', true, true},  {"66.", '9', true, true},
        {"66.9", '6', false, true}, {"0.96", '1', false, false}, {"66.9", '\b', true, true}, {"6.", '.', false, false},
        {"", '\b', true, true},  {"12", 'a', false, false}, {"12", '-', false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OneDecimalKeyPasses(c.text, c.key), c.oneDecimal) << c.text << " + " << c.key;
        EXPECT_EQ(TwoDecimalKeyPasses(c.text, c.key), c.twoDecimals) << c.text << " + " << c.key;
    }
    EXPECT_TRUE(IntegerKeyPasses('7'));
    for (char key : {'\b', '.', '-', 'x'}) EXPECT_FALSE(IntegerKeyPasses(key));
}

}  // namespace
}  // namespace zr

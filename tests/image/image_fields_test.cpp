#include <gtest/gtest.h>

#include <map>
#include <set>

#include "image_fields.h"

namespace zr {
namespace {

std::map<std::string, std::string> Decoded(const PagerImage& image) {
    std::map<std::string, std::string> values;
    for (const auto& field : ImageFields()) values[field.key] = FieldValueText(DecodeField(image, field));
    return values;
}

TEST(ImageFields, KeysAreUniqueAndInsideTheImage) {
    std::set<std::string> keys;
    for (const auto& field : ImageFields()) {
        EXPECT_TRUE(keys.insert(field.key).second) << field.key;
        EXPECT_LE(field.offset + field.width, kImageSize) << field.key;
    }
    EXPECT_EQ(keys.size(), 10u + 4 * 8 + 2 * 6 + 38);
}

// The built-in image as stored; the window shows it after its load, with fresh synthesizer words.
TEST(ImageFields, DefaultImageDecodesAsStored) {
    const auto values = Decoded(StartupImage());
    const std::map<std::string, std::string> expected = {
        {"frequency", "1590000"}, {"band", "135-174 MHz"}, {"spacing", "Auto"}, {"spacing_code", "32"},
        {"pllr", "00010011"}, {"plln", "00158000"}, {"firmware", "0.00"}, {"tag", "ZR250Pro V107"},
        {"checksum", "0000"}, {"checksum_ok", "false"},
        {"call1.on", "true"}, {"call1.tone1", "669.9"}, {"call1.tone2", "707.3"}, {"call1.tone1_code", "8B0B"},
        {"call1.tone2_code", "4B95"}, {"call2.on", "false"}, {"call4.tone2", "1122.5"},
        {"group1.on", "false"}, {"group1.tone", "330.5"}, {"group2.tone", "600.9"},
        {"decoder_bandwidth", "1.5"}, {"battery_save", "15"}, {"ad_delay", "1"}, {"tone1_limit", "1"},
        {"tone1_duration", "3"}, {"group_call_duration", "50"}, {"rf_delay", "35"}, {"noise_limit", "1"},
        {"gap_max", "5"}, {"carrier_off_delay", "7"}, {"nrssi", "0.71"}, {"speaker_off", "0.80"},
        {"speaker_on", "0.96"}, {"reset_delay", "8.0"}, {"auto_monitor", "3.0"}, {"audio_lock", "6.0"},
        {"decoder_reset", "30.0"}, {"standby_delay", "6.0"}, {"save_voice", "true"}, {"audio_lock_on", "true"},
        {"privacy", "false"}, {"priority_max_volume", "true"}, {"full_time_auto_monitor", "false"},
        {"narrowband", "false"}, {"push_to_listen", "Disable"}, {"reset_control", "Auto Reset"},
        {"reminder", "120 Second"}, {"record_sections", "4 sections (30 second)"},
        {"low_battery_reminder", "Disable"}, {"low_battery", "null"}, {"squelch_level", "5"},
    };
    for (const auto& [key, value] : expected) EXPECT_EQ(values.at(key), value) << key;
}

TEST(ImageFields, CodesThatSelectNoItemAreNull) {
    PagerImage image = StartupImage();
    image[10] = 5;      // no spacing item in either band
    image[49] = 16;
    image[67] = 6;
    image[62] = 3;
    image[84] = 7;
    image[96] = 0x89;   // alert type 9, priority set
    image[79] = 81;     // shown 0.95, no level
    const auto values = Decoded(image);
    for (const char* key : {"spacing", "decoder_bandwidth", "reset_control", "record_sections", "low_battery_reminder",
                            "call1.alert_type", "squelch_level"})
        EXPECT_EQ(values.at(key), "null") << key;
    EXPECT_EQ(values.at("call1.priority"), "true");
}

TEST(ImageFields, ListFieldsFollowTheWindowsChoice) {
    PagerImage image = StartupImage();
    image[70] = 100;
    image[69] |= 0x02;
    image[81] |= 0x10;
    image[67] = 2;
    image[1] = 5;
    image[2] = 9;
    image[3] = 4;
    image[10] = 2;
    auto values = Decoded(image);
    EXPECT_EQ(values.at("reminder"), "60  Second");
    EXPECT_EQ(values.at("push_to_listen"), "Vibration Mode Only");
    EXPECT_EQ(values.at("reset_control"), "Revert SQ");
    EXPECT_EQ(values.at("firmware"), "5.90");
    EXPECT_EQ(values.at("band"), "400-499 MHz");
    EXPECT_EQ(values.at("spacing"), "6.25 K");
    image[2] = 10;
    EXPECT_EQ(Decoded(image).at("firmware"), "5.10");
}

TEST(ImageFields, CompareNamesFieldsAndUnexplainedBytes) {
    const PagerImage a = StartupImage();
    PagerImage b = a;
    EXPECT_TRUE(CompareImages(a, b).empty());
    b[58] = 20;      // battery_save
    b[0] = 9;        // carried
    b[81] |= 0x80;   // carried bit
    b[63] = 101;     // both codes select no item
    const auto differences = CompareImages(a, b);
    ASSERT_EQ(differences.fields.size(), 1u);
    EXPECT_EQ(differences.fields[0].key, "battery_save");
    EXPECT_EQ(FieldValueText(differences.fields[0].second), "20");
    std::vector<std::size_t> offsets;
    for (const auto& byte : differences.bytes) offsets.push_back(byte.offset);
    EXPECT_EQ(offsets, (std::vector<std::size_t>{0, 63, 81}));
}

}  // namespace
}  // namespace zr

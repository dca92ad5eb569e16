// The load of an image into the editor, as every front end runs it: what it writes back into the
// image and the messages it shows, from the editor as start-up leaves it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "editor_load.h"
#include "entry_messages.h"
#include "tone_code.h"

namespace zr {
namespace {

void SetFrequency(PagerImage& image, const char* digits) {
    for (int k = 0; k < 7; ++k) image[3 + k] = static_cast<std::uint8_t>(digits[k] - '0');
}

struct Byte {
    std::size_t offset;
    std::uint8_t value;
};

struct LoadCase {
    std::string name;
    std::function<void(PagerImage&)> change;  // applied to the built-in image as stored
    std::vector<Byte> expected;               // bytes after the load
    std::vector<std::string> messages;
};

std::vector<LoadCase> Cases() {
    const std::string band = FrequencySettingErrorMessage("135", "174").text;
    std::vector<LoadCase> cases = {
        {"built-in words replaced", [](PagerImage&) {},
         {{120, 0x00}, {121, 0x00}, {122, 0x80}, {123, 0x11}, {124, 0x00}, {125, 0x0A}, {126, 0xC0}, {127, 0x00}},
         {}},
        // Privacy switches Push To Listen off; its mode bit stays; "Revert SQ" became "Auto Reset" while
        // Push To Listen was on; a reminder of 100 s is the 60 s item.
        {"privacy, push to listen, revert, reminder",
         [](PagerImage& image) {
             image[67] = 2;
             image[69] = 0x87;
             image[81] |= 0x10;
             image[70] = 100;
         },
         {{67, 0}, {69, 0x85}, {70, 120}, {81, 0x18}},
         {}},
        {"frequency the band refuses keeps its words",
         [](PagerImage& image) {
             SetFrequency(image, "1000000");
             image[10] = 0;
         },
         {{10, 0}, {120, 0x00}, {121, 0x01}, {122, 0x00}, {123, 0x11}, {124, 0x00}, {125, 0x15}, {126, 0x80}},
         {band, band, band}},
        {"UHF 462.0125 MHz on 6.25 kHz",
         [](PagerImage& image) {
             SetFrequency(image, "4620125");
             image[10] = 2;
         },
         {{10, 2}, {120, 0x00}, {121, 0x04}, {122, 0x00}, {123, 0x11}, {124, 0x00}, {125, 0x89}, {126, 0xB1}},
         {}},
        // Off at start-up, call 3 is switched on by the load: its tones are taken in Standard Mode,
        // 1000.0 Hz snapped to 1006.9 Hz and re-coded. Call 1, on since start-up, is left alone.
        {"call switched on takes its tones",
         [](PagerImage& image) {
             image[48] |= 0x04;
             SetWord16(image, 200, 10000);
             SetWord16(image, 192, 10000);
             SetWord16(image, 16, 0x1234);
         },
         {{200, 10069 >> 8},
          {201, 10069 & 0xFF},
          {24, EncodeToneCode(10069) >> 8},
          {25, EncodeToneCode(10069) & 0xFF},
          {192, 10000 >> 8},
          {193, 10000 & 0xFF},
          {16, 0x12},
          {17, 0x34}},
         {}},
    };
    // Reset codes with Push To Listen off and on: "Revert SQ" (2) and "Delay AUTO N with Revert" (5)
    // are not offered with Push To Listen and become "Auto Reset".
    for (std::uint8_t code = 0; code <= 5; ++code)
        for (const bool pushToListen : {false, true}) {
            const std::uint8_t after = pushToListen && (code == 2 || code == 5) ? 0 : code;
            cases.push_back({"reset code " + std::to_string(code) + (pushToListen ? " with" : " without") +
                                 " push to listen",
                             [code, pushToListen](PagerImage& image) {
                                 image[67] = code;
                                 image[69] = pushToListen ? 0x02 : 0x00;
                             },
                             {{67, after}, {69, static_cast<std::uint8_t>(pushToListen ? 0x02 : 0x00)}},
                             {}});
        }
    const std::vector<std::pair<std::uint8_t, std::uint8_t>> reminders = {{0, 0},     {1, 60},    {89, 60},  {90, 120},
                                                                          {179, 120}, {180, 240}, {255, 240}};
    for (const auto& [stored, loaded] : reminders)
        cases.push_back({"reminder " + std::to_string(stored),
                         [stored = stored](PagerImage& image) { image[70] = stored; },
                         {{70, loaded}},
                         {}});
    return cases;
}

TEST(EditorLoad, WhatTheLoadWritesBackAndShows) {
    for (const auto& c : Cases()) {
        EditorSession session = StartupEditorSession();
        session.image = StartupImage();
        c.change(session.image);
        const EditorAnswer answer = session.Load();
        for (const auto& byte : c.expected)
            EXPECT_EQ(session.image[byte.offset], byte.value) << c.name << ", offset " << byte.offset;
        std::vector<std::string> shown;
        for (const auto& message : answer.Messages()) shown.push_back(message.text);
        EXPECT_EQ(shown, c.messages) << c.name;

        // What a load leaves loads again unchanged.
        const PagerImage loaded = session.image;
        session.Load();
        EXPECT_EQ(session.image, loaded) << c.name;
    }
}

TEST(EditorLoad, StartUpShowsTheBuiltInImageAsTheWindowDoes) {
    const EditorSession session = StartupEditorSession();
    EXPECT_EQ(session.controls.Text("edtFreq"), "1590000");
    EXPECT_EQ(session.controls.Text("lblPLLR"), "00008011");
    EXPECT_EQ(session.controls.Text("lblPLLN"), "000AC000");
    EXPECT_EQ(session.controls.Selected("cboCSpace"), kAutoSpacingItem);
    EXPECT_EQ(session.state.settings.channelStep, 25000u);
    EXPECT_TRUE(session.controls.Checked("chkDuty1"));
    EXPECT_FALSE(session.controls.Checked("chkDuty2"));
    // Every Write leaves 103 for the low battery threshold: no item, the list keeps its selection.
    EditorSession written = session;
    written.image[63] = 103;
    written.controls.lists["cboBatteryLow"].selected = 3;
    written.Load();
    EXPECT_EQ(written.controls.Selected("cboBatteryLow"), 3u);
}

TEST(EditorLoad, TheVersionShowsOneTextForItsTwoBytes) {
    EditorSession session = StartupEditorSession();
    session.image[1] = 5;
    session.image[2] = 115;
    EXPECT_EQ(session.Load().FinalText("edtVersion"), "5.12");
}

}  // namespace
}  // namespace zr

// The timing, level and decoder fields: what each accepts, how it is stored and shown, and the
// Decoder Bandwidth pick that also sets the tone spacing threshold.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "editor_answer.h"
#include "entry_messages.h"
#include "pager_image.h"
#include "settings_state.h"

namespace zr {

enum class NumericEncoding {
    Byte,         // the number itself, 0..255
    Word,         // 16 bits, high byte at the offset, 0..65535
    Level,        // volts 0..1 as a level byte, shown with two decimals
    HalfSeconds,  // seconds as twice their value, shown with one decimal, steps of 0.5 s
};

struct NumericField {
    std::string_view key;      // the field's key on the command line
    std::string_view control;  // the window's edit
    std::size_t offset;
    NumericEncoding encoding;
    double lowest;   // accepted entries
    double highest;
    std::string_view rangeText;  // the message for an entry outside lowest..highest
    // A wider check made first, with its own message (0 when there is none).
    double checkedHighest = 0;
    std::string_view checkedRangeText = {};
};

// Gap MAX. holds one byte, so it stores 0..255 like the other one-byte fields; its entry is first
// checked against 0..65535, and above that it gets the 0-to-65535 message. The reset delay and the
// standby delay accept 0 (tables and pagers hold it) although their message names 1.
inline constexpr std::array<NumericField, 19> kNumericFields = {{
    {"battery_save", "edtBS_Period", 58, NumericEncoding::Byte, 0, 255, kByteRangeText},
    {"ad_delay", "edtBS_Duty", 59, NumericEncoding::Byte, 0, 255, kByteRangeText},
    {"tone1_limit", "edtTone1Limit", 50, NumericEncoding::Word, 0, 65535, kWordRangeText},
    {"tone1_duration", "edtTone1Len", 52, NumericEncoding::Word, 0, 65535, kWordRangeText},
    {"tone2_limit", "edtTone2Limit", 54, NumericEncoding::Word, 0, 65535, kWordRangeText},
    {"tone2_duration", "edtTone2Len", 56, NumericEncoding::Word, 0, 65535, kWordRangeText},
    {"group_call_duration", "edtTone3Len", 73, NumericEncoding::Word, 0, 65535, kWordRangeText},
    {"rf_delay", "edtRFDelay", 75, NumericEncoding::Byte, 0, 255, kByteRangeText},
    {"noise_limit", "edtNoiseLimit", 77, NumericEncoding::Byte, 0, 255, kByteRangeText},
    {"gap_max", "edtGapMax", 78, NumericEncoding::Byte, 0, 255, kByteRangeText, 65535, kWordRangeText},
    {"carrier_off_delay", "edtSquelch", 83, NumericEncoding::Byte, 0, 255, kByteRangeText},
    {"nrssi", "edtRSSI", 64, NumericEncoding::Level, 0, 1, kLevelRangeText},
    {"speaker_off", "edtSSI", 79, NumericEncoding::Level, 0, 1, kLevelRangeText},
    {"speaker_on", "edtRSSI2", 76, NumericEncoding::Level, 0, 1, kLevelRangeText},
    {"reset_delay", "edtDelay", 68, NumericEncoding::HalfSeconds, 0, 127.5, kHalfSecondsFromOneText},
    {"auto_monitor", "edtAutoMonitor", 65, NumericEncoding::HalfSeconds, 1, 127.5, kHalfSecondsFromOneText},
    {"audio_lock", "edtAudioLock", 66, NumericEncoding::HalfSeconds, 1, 127.5, kHalfSecondsFromOneText},
    {"decoder_reset", "edtDecorderReset", 80, NumericEncoding::HalfSeconds, 0, 127.5, kHalfSecondsFromZeroText},
    {"standby_delay", "edtDelayFullTime", 82, NumericEncoding::HalfSeconds, 0, 127.5, kHalfSecondsFromOneText},
}};

// The field with this command-line key, or nullptr.
const NumericField* FindNumericField(std::string_view key);

// The stored value as the field shows it: 15, 0.71, 3.0.
std::string NumericFieldText(const PagerImage& image, const NumericField& field);

// Leaving the field (or Enter in it):
// - empty: the stored value is shown again; leaving "Carrier OFF delay" empty also parks the focus
//   on `edtNull`;
// - outside the field's range: its range message, the text stays as typed, the focus goes back;
// - a half-second entry off the 0.5 s step: "The interval is 0.5 second.", the stored time is shown
//   again, the focus goes where the user sent it;
// - text that is no number (pasted): a message naming it, nothing stored, the focus back;
// - otherwise stored. Whole-number fields keep the text as typed; a level shows the entry with two
//   decimals and stores the byte of that text; a time shows one decimal and stores twice what it
//   shows (3.46 shows 3.5 and stores 7).
EditorAnswer NumericFieldExit(PagerImage& image, const NumericField& field, std::string_view text);

// Decoder Bandwidth picked: offset 49 takes the item index and the tone spacing threshold the
// item's percentage in tenths (item "0.5" gives 5). A load sets the list without this.
EditorAnswer DecoderBandwidthClick(PagerImage& image, SettingsEditorState& state, std::size_t item);

// The key filters of the edits, judged against the field's whole current text. Enter is the
// window's: it runs the field's exit and, except in the two-decimal fields, parks the focus on
// `edtNull`.
// One decimal (tone fields and the time fields): digits, one "." (not first) and one digit after it.
bool OneDecimalKeyPasses(std::string_view text, char key);
// Two decimals (level fields, standby delay, squelch table): as above with two digits after ".";
// swallowed keys show nothing.
bool TwoDecimalKeyPasses(std::string_view text, char key);
// Whole numbers: digits only. Any other key but Enter, Backspace included, shows
// "Please insert a numeric!" and keeps the focus in the field.
bool IntegerKeyPasses(char key);

inline constexpr char kBackspaceKey = '\b';
inline constexpr char kEnterKey = '\r';

}  // namespace zr

// The receive frequency, the band, the channel spacing and the synthesizer words derived from them.
//
// The image holds the frequency as seven digits at offsets 3..9 (units of 100 Hz; offset 3 is 1 in
// the 135-174 MHz band), the spacing code at offset 10 and the PLLR and PLLN words at 120..127.
// An accepted frequency always stores its digits and both words together.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "editor_answer.h"
#include "pager_image.h"
#include "settings_state.h"

namespace zr {

// The frequency is seven digits, in units of 100 Hz; `edtFreq` takes no more.
inline constexpr std::size_t kFrequencyDigits = 7;

inline constexpr std::size_t kVhfBandItem = 0;  // "135-174 MHz"
inline constexpr std::size_t kUhfBandItem = 1;  // "400-499 MHz"
inline constexpr std::size_t kAutoSpacingItem = 2;  // "Auto", 135-174 MHz band only

// What the window's Frequency box holds: the band item, the spacing item (none when the list has
// no selection) and the text of `edtFreq`.
struct FrequencyControls {
    std::size_t bandItem = kVhfBandItem;
    std::optional<std::size_t> spacingItem;
    std::string frequencyText;
};

// The step an Auto code (32..37) stands for; other codes stand for none, so no step is ever taken
// from outside the Auto list.
std::optional<std::uint32_t> AutoStepOfCode(std::uint8_t code);

// The spacing list of a band.
std::vector<std::string> SpacingItems(std::size_t bandItem);
// The spacing item a band pick selects for a stored code: in the 135-174 MHz band "Auto" for the
// Auto codes (32 and up), "12.5 K" for code 3, the code's own item for 0..2; in the 400-499 MHz band
// the code's own item below 32 and "12.5 K" for the Auto codes. Codes 4..31 select nothing.
std::optional<std::size_t> SpacingItemForCode(std::size_t bandItem, std::uint8_t code);

// The stored frequency into `edtFreq`, remembered as the text of the band offset 3 selects.
EditorAnswer ShowFrequencyFromImage(const PagerImage& image, SettingsEditorState& state);

// PLLR and PLLN from the frequency text, the channel step and the band multiplier, stored at
// 120..127 and shown in `lblPLLR` and `lblPLLN`. Off the channel step the words stay as they were
// and the focus goes to `edtFreq`.
EditorAnswer ComputeSynthesizerWords(PagerImage& image, const SettingsEditorState& state,
                                     const std::string& frequencyText);

// Leaving `edtFreq` (or Enter in it): an empty field shows the stored frequency again; otherwise the
// entry must lie in the band ("Frequency setting error(...)", plain box) and on the channel step
// ("Channel Spacing Error!"), both refusals keeping the text and giving the focus back. "Auto" takes
// the first step of 25 000, 12 500, 10 000, 6 250, 5 000, 2 500 Hz that divides the frequency and
// stores its code. With no spacing item selected nothing happens.
EditorAnswer FrequencyExit(PagerImage& image, SettingsEditorState& state, const FrequencyControls& controls);

// A spacing item picked: its code is stored ("Auto" keeps the code of the step in force), then the
// frequency is taken again as on leaving `edtFreq`.
EditorAnswer ChannelSpacingClick(PagerImage& image, SettingsEditorState& state, const FrequencyControls& controls);

// A band picked: the spacing list is rebuilt for it, the band's remembered frequency comes back into
// `edtFreq`, the spacing pick runs for the item the stored code selects, then the frequency exit
// once more.
EditorAnswer BandClick(PagerImage& image, SettingsEditorState& state, std::size_t bandItem);

}  // namespace zr

// The CALL page and the Frequency box as a load leaves them, without the load's writing to the
// image: the starting point of the single rules' tests.
#pragma once

#include "frequency_rules.h"
#include "image_offsets.h"
#include "tone_entry.h"

namespace zr::testing {

// Every tone shown from the image, the switches from offsets 48 and 95; `state.toneValues` become
// the stored tones.
inline CallPage CallPageAsLoaded(const PagerImage& image, ToneEditorState& state) {
    CallPage page;
    for (const auto kind : {ToneKind::Tone1, ToneKind::Tone2, ToneKind::Group}) ShowToneFields(image, state, page, kind);
    for (std::size_t n = 0; n < kCalls; ++n) page.callOn[n] = GetImageBits(image, kCallEnablesOffset, n, 1) == 1;
    for (std::size_t g = 0; g < kGroupCalls; ++g) page.groupOn[g] = GetImageBits(image, kGroupEnablesOffset, g, 1) == 1;
    return page;
}

// The remembered text of the image's band, the band multiplier and, for an Auto code, its step.
inline FrequencyControls FrequencyControlsAsLoaded(const PagerImage& image, SettingsEditorState& state) {
    FrequencyControls controls;
    controls.frequencyText = ShowFrequencyFromImage(image, state).FinalText("edtFreq").value_or("");
    controls.bandItem = image[kFirstDigitOffset] == 1 ? kVhfBandItem : kUhfBandItem;
    state.bandMultiplier = controls.bandItem == kVhfBandItem ? 1 : 2;
    const std::uint8_t code = image[kSpacingCodeOffset];
    controls.spacingItem = SpacingItemForCode(controls.bandItem, code);
    if (controls.bandItem == kVhfBandItem && controls.spacingItem == kAutoSpacingItem)
        state.channelStep = AutoStepOfCode(code).value_or(state.channelStep);
    return controls;
}

}  // namespace zr::testing

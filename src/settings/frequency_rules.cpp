#include "frequency_rules.h"

#include "image_offsets.h"

#include <array>

#include "entry_messages.h"
#include "field_lists.h"
#include "number_text.h"

namespace zr {

namespace {

constexpr std::int64_t kReferenceHz = 12'800'000;
constexpr std::int64_t kOffsetHz = 21'400'000;

bool IsVhf(std::size_t bandItem) { return bandItem == kVhfBandItem; }

std::size_t SpacingItemCount(std::size_t bandItem) {
    return IsVhf(bandItem) ? kVhfSpacingItems.size() : kUhfSpacingItems.size();
}

bool IsAutoItem(std::size_t bandItem, std::optional<std::size_t> item) {
    return IsVhf(bandItem) && item == kAutoSpacingItem;
}

// The step of a spacing item that names one; "Auto" and missing items name none.
std::optional<std::uint32_t> FixedStep(std::size_t bandItem, std::size_t item) {
    static constexpr std::array<std::uint32_t, 4> kSteps = {12500, 10000, 6250, 5000};
    if (item >= SpacingItemCount(bandItem) || IsAutoItem(bandItem, item)) return std::nullopt;
    return kSteps[item];
}

// The band limits in MHz are read from the band item's text: "135" and "174", or "400" and "499".
std::string_view LowLimitText(std::size_t bandItem) { return kBandItems[bandItem].substr(0, 3); }
std::string_view HighLimitText(std::size_t bandItem) { return kBandItems[bandItem].substr(4, 3); }

void StoreDigits(PagerImage& image, std::int64_t frequency) {
    for (std::size_t k = kFrequencyDigits; k-- > 0;) {
        image[kFirstDigitOffset + k] = static_cast<std::uint8_t>(frequency % 10);
        frequency /= 10;
    }
}

}  // namespace

std::optional<std::uint32_t> AutoStepOfCode(std::uint8_t code) {
    if (code < kFirstAutoSpacingCode || code >= kFirstAutoSpacingCode + kAutoStepList.size()) return std::nullopt;
    return kAutoStepList[code - kFirstAutoSpacingCode];
}

std::vector<std::string> SpacingItems(std::size_t bandItem) {
    if (IsVhf(bandItem)) return {kVhfSpacingItems.begin(), kVhfSpacingItems.end()};
    return {kUhfSpacingItems.begin(), kUhfSpacingItems.end()};
}

std::optional<std::size_t> SpacingItemForCode(std::size_t bandItem, std::uint8_t code) {
    if (IsVhf(bandItem)) {
        if (code >= kFirstAutoSpacingCode) return kAutoSpacingItem;
        if (code == 3) return 0;
    } else if (code >= kFirstAutoSpacingCode) {
        return 0;
    }
    if (code < SpacingItemCount(bandItem)) return code;
    return std::nullopt;
}

EditorAnswer ShowFrequencyFromImage(const PagerImage& image, SettingsEditorState& state) {
    std::int64_t frequency = 0;
    for (std::size_t k = 0; k < kFrequencyDigits; ++k) frequency = frequency * 10 + image[kFirstDigitOffset + k];
    const std::string text = std::to_string(frequency);
    (image[kFirstDigitOffset] == 1 ? state.vhfFrequencyText : state.uhfFrequencyText) = text;
    EditorAnswer answer;
    answer.Text("edtFreq", text);
    return answer;
}

EditorAnswer ComputeSynthesizerWords(PagerImage& image, const SettingsEditorState& state,
                                     const std::string& frequencyText) {
    EditorAnswer answer;
    const auto frequency = ParseInteger(frequencyText);
    const std::int64_t multiplier = state.bandMultiplier;
    if (!frequency || multiplier == 0 || state.channelStep / multiplier == 0) return answer;
    const std::int64_t hertz = *frequency * 100;
    if (hertz % state.channelStep != 0) {
        answer.Focus("edtFreq");
        return answer;
    }
    const std::int64_t r = (kReferenceHz / (state.channelStep / multiplier)) / 4;
    if (r == 0) return answer;  // no step of the lists is that coarse
    const std::int64_t total = ((hertz - kOffsetHz) / multiplier) / (kReferenceHz / (r * 4));
    const std::int64_t n = total / 32;
    const std::int64_t a = total - 32 * n;
    // The words are 32 bits wide; a frequency below the offset (only from a damaged image) wraps.
    const auto pllr = static_cast<std::uint32_t>(r * 256 + 0x11);
    const auto plln = static_cast<std::uint32_t>(n * 4096 + a * 128);
    SetWord32(image, kPllrOffset, pllr);
    SetWord32(image, kPllnOffset, plln);
    answer.Text("lblPLLR", FormatHex(pllr, 8));
    answer.Text("lblPLLN", FormatHex(plln, 8));
    answer.MarkStored();
    return answer;
}

namespace {

EditorAnswer ShowStoredFrequency(PagerImage& image, SettingsEditorState& state) {
    EditorAnswer answer = ShowFrequencyFromImage(image, state);
    const std::string shown = answer.FinalText("edtFreq").value_or("");
    answer.Append(ComputeSynthesizerWords(image, state, shown));
    return answer;
}

}  // namespace

EditorAnswer FrequencyExit(PagerImage& image, SettingsEditorState& state, const FrequencyControls& controls) {
    if (controls.frequencyText.empty()) return ShowStoredFrequency(image, state);
    EditorAnswer answer;
    if (controls.bandItem >= kBandItems.size()) return answer;
    const auto frequency = ParseInteger(controls.frequencyText);
    if (!frequency) {
        answer.Refuse(NotAWholeNumberMessage(controls.frequencyText));
        answer.Focus("edtFreq");
        return answer;
    }
    const std::int64_t low = *ParseInteger(LowLimitText(controls.bandItem)) * 10000;
    const std::int64_t high = *ParseInteger(HighLimitText(controls.bandItem)) * 10000;
    if (*frequency < low || *frequency > high) {
        answer.Refuse(FrequencySettingErrorMessage(LowLimitText(controls.bandItem), HighLimitText(controls.bandItem)));
        answer.Focus("edtFreq");
        return answer;
    }
    if (!controls.spacingItem || *controls.spacingItem >= SpacingItemCount(controls.bandItem)) return answer;
    const std::int64_t hertz = *frequency * 100;
    if (IsAutoItem(controls.bandItem, controls.spacingItem)) {
        bool found = false;
        for (std::size_t i = 0; i < kAutoStepList.size() && !found; ++i) {
            if (hertz % kAutoStepList[i] != 0) continue;
            state.channelStep = kAutoStepList[i];
            image[kSpacingCodeOffset] = static_cast<std::uint8_t>(kFirstAutoSpacingCode + i);
            answer.MarkStored();
            found = true;
        }
        // No step outside the Auto list is ever taken, whatever code a loaded image holds.
        if (!found) state.channelStep = AutoStepOfCode(image[kSpacingCodeOffset]).value_or(state.channelStep);
    } else {
        state.channelStep = *FixedStep(controls.bandItem, *controls.spacingItem);
    }
    if (hertz % state.channelStep != 0) {
        answer.Refuse(WarningMessage(kChannelSpacingErrorText));
        answer.Focus("edtFreq");
        return answer;
    }
    StoreDigits(image, *frequency);
    answer.MarkStored();
    answer.Append(ShowStoredFrequency(image, state));
    return answer;
}

EditorAnswer ChannelSpacingClick(PagerImage& image, SettingsEditorState& state, const FrequencyControls& controls) {
    EditorAnswer answer;
    if (IsAutoItem(controls.bandItem, controls.spacingItem)) {
        for (std::size_t i = 0; i < kAutoStepList.size(); ++i) {
            if (kAutoStepList[i] != state.channelStep) continue;
            image[kSpacingCodeOffset] = static_cast<std::uint8_t>(kFirstAutoSpacingCode + i);
            answer.MarkStored();
        }
    } else if (controls.spacingItem && *controls.spacingItem < SpacingItemCount(controls.bandItem)) {
        image[kSpacingCodeOffset] = static_cast<std::uint8_t>(*controls.spacingItem);
        answer.MarkStored();
    }
    answer.Append(FrequencyExit(image, state, controls));
    return answer;
}

EditorAnswer BandClick(PagerImage& image, SettingsEditorState& state, std::size_t bandItem) {
    EditorAnswer answer;
    if (bandItem >= kBandItems.size()) return answer;
    answer.Items("cboCSpace", SpacingItems(bandItem));
    state.bandMultiplier = IsVhf(bandItem) ? 1 : 2;
    answer.Text("lblMUTL", std::to_string(state.bandMultiplier));
    FrequencyControls controls;
    controls.bandItem = bandItem;
    controls.frequencyText = IsVhf(bandItem) ? state.vhfFrequencyText : state.uhfFrequencyText;
    answer.Text("edtFreq", controls.frequencyText);
    controls.spacingItem = SpacingItemForCode(bandItem, image[kSpacingCodeOffset]);
    answer.Select("cboCSpace", controls.spacingItem);
    answer.Append(ChannelSpacingClick(image, state, controls));
    controls.frequencyText = answer.FinalText("edtFreq").value_or(controls.frequencyText);
    answer.Append(FrequencyExit(image, state, controls));
    return answer;
}

}  // namespace zr

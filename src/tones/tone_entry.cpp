#include "tone_entry.h"

#include "image_offsets.h"

#include <limits>

#include "encodings.h"
#include "entry_messages.h"
#include "number_text.h"
#include "standard_tones.h"
#include "tone_code.h"

namespace zr {

namespace {

constexpr std::int64_t kLowestUserTone = 2800;
constexpr std::int64_t kHighestUserTone = 35000;

std::size_t FieldsOfKind(ToneKind kind) { return kind == ToneKind::Group ? kGroupCalls : kCalls; }

// The tenths a tone field's text stands for: the digits before the "." times ten plus the first
// digit after it. An empty or unreadable text stands for none.
std::optional<std::int64_t> TenthsOfText(const std::string& text) {
    const auto point = text.find('.');
    const std::string whole = text.substr(0, point);
    const auto wholeValue = ParseInteger(whole);
    if (!wholeValue) return std::nullopt;
    std::int64_t tenth = 0;
    if (point != std::string::npos && point + 1 < text.size()) {
        const char digit = text[point + 1];
        if (digit < '0' || digit > '9') return std::nullopt;
        tenth = digit - '0';
    }
    // Far beyond every tone range; kept clear of overflowing the tenths.
    constexpr std::int64_t kFarOutside = 1'000'000'000'000;
    if (*wholeValue > kFarOutside || *wholeValue < -kFarOutside) return kFarOutside * 10;
    return *wholeValue * 10 + tenth;
}

ToneField OtherToneOfCall(ToneField field) {
    return {field.kind == ToneKind::Tone1 ? ToneKind::Tone2 : ToneKind::Tone1, field.index};
}

void SetToneText(EditorAnswer& answer, CallPage& page, ToneField field, std::string text) {
    page.Text(field) = text;
    answer.Text(ToneControlName(field), std::move(text));
}

void RejectBySpacingRule(EditorAnswer& answer, const PagerImage& image, ToneEditorState& state,
                         std::uint8_t spacingTenths, CallPage& page, ToneKind kind) {
    answer.Refuse(ToneSpacingMessage(spacingTenths));
    state.currentToneField.reset();
    answer.Append(ShowToneFields(image, state, page, kind));
}

}  // namespace

bool IsToneField(ToneField field) { return field.index >= 1 && field.index <= FieldsOfKind(field.kind); }

std::size_t ToneSlot(ToneField field) {
    switch (field.kind) {
        case ToneKind::Tone1: return field.index;
        case ToneKind::Tone2: return field.index + kCalls;
        case ToneKind::Group: return field.index + 2 * kCalls;
    }
    return 0;
}

ToneField ToneFieldOfSlot(std::size_t slot) {
    if (slot > 2 * kCalls) return {ToneKind::Group, static_cast<unsigned>(slot - 2 * kCalls)};
    if (slot > kCalls) return {ToneKind::Tone2, static_cast<unsigned>(slot - kCalls)};
    return {ToneKind::Tone1, static_cast<unsigned>(slot)};
}

std::size_t ToneFrequencyOffset(ToneField field) {
    switch (field.kind) {
        case ToneKind::Tone1: return 192 + 4 * (field.index - 1);
        case ToneKind::Tone2: return 194 + 4 * (field.index - 1);
        case ToneKind::Group: return 224 + 2 * (field.index - 1);
    }
    return 0;
}

std::size_t ToneCodeOffset(ToneField field) {
    switch (field.kind) {
        case ToneKind::Tone1: return 16 + 4 * (field.index - 1);
        case ToneKind::Tone2: return 18 + 4 * (field.index - 1);
        case ToneKind::Group: return 87 + 2 * (field.index - 1);
    }
    return 0;
}

std::string ToneControlName(ToneField field) {
    const char* prefix = field.kind == ToneKind::Tone1 ? "edtT1" : field.kind == ToneKind::Tone2 ? "edtT2" : "edtT3";
    return prefix + std::to_string(field.index);
}

bool CallPage::SlotSwitchedOn(std::size_t slot) const {
    const ToneField field = ToneFieldOfSlot(slot);
    if (!IsToneField(field)) return false;
    return field.kind == ToneKind::Group ? groupOn[field.index - 1] : callOn[field.index - 1];
}

EditorAnswer ShowToneFields(const PagerImage& image, ToneEditorState& state, CallPage& page, ToneKind kind) {
    EditorAnswer answer;
    for (unsigned index = 1; index <= FieldsOfKind(kind); ++index) {
        const ToneField field{kind, index};
        const std::uint16_t tenths = GetWord16(image, ToneFrequencyOffset(field));
        state.toneValues[ToneSlot(field) - 1] = tenths;
        SetToneText(answer, page, field, ToneText(tenths));
    }
    return answer;
}

Message ToneSpacingMessage(std::uint8_t spacingTenths) {
    return WarningMessage(
        "Tone Frequency Error!\n\nPlease check the tone spacing rule. \n[1]Two tones in the same call address should "
        "not be the same.\n[2]Any two tones should be separated by minimum of " +
        FormatFixed(spacingTenths * 0.1, 1) + "%. \n\nThe original tone frequency is restored.");
}

Message StandardToneRangeMessage() { return WarningMessage("Please insert a number between 288.5 to 2468.2"); }

Message UserToneRangeMessage() { return WarningMessage("Please insert a number between 280 to 3500.0"); }

bool ToneTooNear(std::int64_t tenths, std::uint16_t otherTenths, std::uint8_t spacingTenths) {
    const float percent = static_cast<float>(spacingTenths / 1000.0);
    const float tone = static_cast<float>(tenths / 10.0);
    const double otherHz = otherTenths / 10.0;
    const float otherTone = static_cast<float>(otherHz);
    const float tolerance = static_cast<float>(otherHz * percent);
    const double below = static_cast<double>(otherTone) - tolerance;
    const double above = static_cast<double>(otherTone) + tolerance;
    return tone != otherTone && below < tone && tone < above;
}

ToneSpacing CheckToneSpacing(std::size_t slot, std::int64_t tenths, const ToneValues& toneValues, const CallPage& page,
                             std::uint8_t spacingTenths) {
    for (std::size_t other = 1; other <= kToneSlots; ++other) {
        if (other == slot || !page.SlotSwitchedOn(other)) continue;
        if (ToneTooNear(tenths, toneValues[other - 1], spacingTenths)) return ToneSpacing::Conflict;
    }
    return ToneSpacing::Accepted;
}

EditorAnswer ToneExit(PagerImage& image, ToneEditorState& state, std::uint8_t spacingTenths, CallPage& page,
                      ToneField field) {
    EditorAnswer answer;
    if (!IsToneField(field)) return answer;
    state.currentToneField = field;
    const std::string typed = page.Text(field);
    if (typed.empty()) return ShowToneFields(image, state, page, field.kind);
    const auto hertz = ParseDecimal(typed);
    if (!hertz) {
        answer.Refuse(NotANumberMessage(typed));
        answer.Focus(ToneControlName(field));
        return answer;
    }
    const std::string rewritten = FormatFixed(*hertz, 1, 4);
    SetToneText(answer, page, field, rewritten);
    std::int64_t tenths = TenthsOfText(rewritten).value_or(std::numeric_limits<std::int64_t>::max());

    // Two equal tones in one call are refused in both modes, before Standard Mode snaps the entry.
    if (field.kind != ToneKind::Group && TenthsOfText(page.Text(OtherToneOfCall(field))) == tenths) {
        RejectBySpacingRule(answer, image, state, spacingTenths, page, field.kind);
        return answer;
    }
    if (state.mode == ToneEntryMode::Standard) {
        if (tenths < kLowestStandardTone || tenths > kHighestStandardTone) {
            answer.Refuse(StandardToneRangeMessage());
            if (field.kind == ToneKind::Group) {
                answer.Append(ShowToneFields(image, state, page, field.kind));
            } else {
                SetToneText(answer, page, field, "");
            }
            answer.Focus(ToneControlName(field));
            return answer;
        }
        tenths = NearestStandardTone(tenths);
    } else {
        if (tenths < kLowestUserTone || tenths > kHighestUserTone) {
            answer.Refuse(UserToneRangeMessage());
            answer.Focus(ToneControlName(field));
            return answer;
        }
        if (CheckToneSpacing(ToneSlot(field), tenths, state.toneValues, page, spacingTenths) == ToneSpacing::Conflict) {
            RejectBySpacingRule(answer, image, state, spacingTenths, page, field.kind);
            return answer;
        }
    }
    const auto stored = static_cast<std::uint16_t>(tenths);
    SetToneText(answer, page, field, ToneText(stored));
    SetWord16(image, ToneFrequencyOffset(field), stored);
    SetWord16(image, ToneCodeOffset(field), EncodeToneCode(stored));
    answer.MarkStored();
    answer.Append(ShowToneFields(image, state, page, field.kind));
    return answer;
}

EditorAnswer ToneFieldEnter(ToneEditorState& state, CallPage& page, ToneField field) {
    EditorAnswer answer;
    if (!IsToneField(field)) return answer;
    if (state.mode == ToneEntryMode::Standard)
        for (const char* label : {"Label9", "Label1", "Label2"}) answer.Show(label, true);
    SetToneText(answer, page, field, "");
    state.currentToneField = field;
    return answer;
}

}  // namespace zr

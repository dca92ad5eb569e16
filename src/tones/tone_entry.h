// Entering the tones of the CALL page: two tones for each of four calls and one for each of two
// group calls, in Standard Mode (snapped to the standard tone table) or User Mode (any tone from
// 280.0 to 3500.0 Hz, kept apart from the tones of the other calls that are switched on).
//
// Each tone lives in the image twice: its frequency in tenths of a hertz and its timing code. An
// accepted tone always writes both.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "editor_answer.h"
#include "pager_image.h"

namespace zr {

enum class ToneEntryMode { Standard, User };

enum class ToneKind { Tone1, Tone2, Group };

// One tone field: tone 1 or tone 2 of call 1..4 (`edtT11`..`edtT14`, `edtT21`..`edtT24`) or the
// tone of group call 1..2 (`edtT31`, `edtT32`).
struct ToneField {
    ToneKind kind = ToneKind::Tone1;
    unsigned index = 1;
    bool operator==(const ToneField&) const = default;
};

inline constexpr std::size_t kToneSlots = 10;
inline constexpr std::size_t kCalls = 4;
inline constexpr std::size_t kGroupCalls = 2;

bool IsToneField(ToneField field);
// Tone 1 of call n is slot n, tone 2 slot n + 4, group call g slot g + 8.
std::size_t ToneSlot(ToneField field);
ToneField ToneFieldOfSlot(std::size_t slot);
std::size_t ToneFrequencyOffset(ToneField field);
std::size_t ToneCodeOffset(ToneField field);
std::string ToneControlName(ToneField field);

// The tones as last shown from the image, by slot - 1: the spacing rule compares against these.
using ToneValues = std::array<std::uint16_t, kToneSlots>;

// The tone editors' state that lives once, for the whole run.
struct ToneEditorState {
    ToneEntryMode mode = ToneEntryMode::Standard;
    ToneValues toneValues{};
    // The remembered tone field: target of F9 and of the tone table.
    std::optional<ToneField> currentToneField;
};

// What the CALL page holds that the tone rules read: the text of each tone field (by slot - 1) and
// the ticked call switches. The rules keep it in step with the texts they set, so handlers run in
// a row read what the earlier ones left.
struct CallPage {
    std::array<std::string, kToneSlots> toneTexts;
    std::array<bool, kCalls> callOn{};
    std::array<bool, kGroupCalls> groupOn{};

    std::string& Text(ToneField field) { return toneTexts.at(ToneSlot(field) - 1); }
    bool SlotSwitchedOn(std::size_t slot) const;
};

// The stored tones of one kind shown again, and remembered in `toneValues`.
EditorAnswer ShowToneFields(const PagerImage& image, ToneEditorState& state, CallPage& page, ToneKind kind);

Message ToneSpacingMessage(std::uint8_t spacingTenths);
Message StandardToneRangeMessage();
Message UserToneRangeMessage();

enum class ToneSpacing { Accepted, Conflict };

// The spacing rule between two tones: `tenths` lies strictly within `spacingTenths` tenths of a
// percent of `otherTenths`, measured in 32-bit floats as the pager's software always has; an equal
// tone is not too near.
bool ToneTooNear(std::int64_t tenths, std::uint16_t otherTenths, std::uint8_t spacingTenths);

// A conflict when `tenths` in slot `slot` comes too near a tone of another switched-on call.
ToneSpacing CheckToneSpacing(std::size_t slot, std::int64_t tenths, const ToneValues& toneValues, const CallPage& page,
                             std::uint8_t spacingTenths);

// Leaving a tone field (also Enter, a tone delivered by the tone table, a call switched on):
// - empty: the stored tones of its kind are shown again;
// - the entry is shown with one decimal; equal to the other tone of its call: the spacing message,
//   the stored tones shown again, no current tone field;
// - Standard Mode: outside 288.5..2468.2 a range message, a call tone is emptied and a group tone
//   shown again, the focus goes back; else snapped to the nearest standard tone and stored;
// - User Mode: outside 280.0..3500.0 a range message, the text kept and the focus back; too near a
//   tone of another switched-on call: the spacing message as above; else stored;
// - text that is no number: a message naming it, nothing stored, the focus back.
EditorAnswer ToneExit(PagerImage& image, ToneEditorState& state, std::uint8_t spacingTenths, CallPage& page,
                      ToneField field);

// Entering a tone field: it is emptied so a new tone is typed from scratch (leaving it empty keeps
// the stored tone), it becomes the current tone field, and in Standard Mode the "( F9 Open tone
// table )" hint labels appear.
EditorAnswer ToneFieldEnter(ToneEditorState& state, CallPage& page, ToneField field);

}  // namespace zr

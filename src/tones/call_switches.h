// The switches and priority boxes of the four calls and two group calls.
//
// Offset 48 bit c - 1 switches call c on, offset 95 bit g - 1 group call g; bit 7 of the alert byte
// (96 + 2(c - 1), 112 + 2(g - 1)) is the priority alert. Switching a call on takes its tones again
// as if each field had just been left, so they meet the entry mode and the spacing rule in force.
#pragma once

#include <cstdint>

#include "editor_answer.h"
#include "pager_image.h"
#include "tone_entry.h"

namespace zr {

// The tone, alert and priority controls of call `call` (1..4), or of group call `group` (1..2),
// usable exactly while the call is switched on. Loading an image sets them before the switch box.
EditorAnswer EnableCallControls(unsigned call, bool on);
EditorAnswer EnableGroupCallControls(unsigned group, bool on);

// Call `call` (1..4) switched on or off: its tone, alert and priority controls follow the switch,
// its bit is stored, and when on the exit of tone 1 and then tone 2 runs. A refused tone leaves the
// call switched on with the tone it had.
EditorAnswer CallSwitchClick(PagerImage& image, ToneEditorState& state, std::uint8_t spacingTenths, CallPage& page,
                             unsigned call, bool on);
// The same for group call `group` (1..2) and its one tone.
EditorAnswer GroupCallSwitchClick(PagerImage& image, ToneEditorState& state, std::uint8_t spacingTenths,
                                  CallPage& page, unsigned group, bool on);

EditorAnswer PriorityClick(PagerImage& image, unsigned call, bool ticked);
EditorAnswer GroupPriorityClick(PagerImage& image, unsigned group, bool ticked);

// The alert times `edtAlertTime1`..4 and `edtGAlertTime1`..2 from the image, in seconds. The window
// keeps them hidden; they travel with the image as loaded.
EditorAnswer ShowAlertTimes(const PagerImage& image);

}  // namespace zr

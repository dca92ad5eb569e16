// Field edits by key ("frequency", "call2.tone1", "privacy", ...), each value taken exactly as the
// window's field takes it, with the same refusals and the same bytes that follow from it. The
// command line's `set` and the fleet's rosters both edit an image this way.
#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "editor_answer.h"
#include "editor_load.h"
#include "editor_state.h"
#include "frequency_rules.h"
#include "pager_image.h"
#include "tone_entry.h"

namespace zr {

// The one image with the editors' state, the CALL page and the Frequency box as the load left them.
struct KeyedEditSession {
    PagerImage image;
    EditorState state;
    CallPage page;
    FrequencyControls frequency;
};

// Edits on the editor as `loaded` holds it after a load (File > Open, a Read, start-up); tones are
// taken in `mode` (Standard Mode unless the technician asks for User Mode).
KeyedEditSession StartKeyedEdits(const EditorSession& loaded, ToneEntryMode mode);

// A value the field cannot take at all (no such item, not true/false, no such key): a complaint
// about the edit itself, not a window message.
struct BadValue {
    std::string text;
};

using KeyedEditResult = std::variant<EditorAnswer, BadValue>;

// A key that names a field the window edits.
bool IsEditableKey(std::string_view key);
// Why a key cannot be edited: unknown, or a field the window only shows.
std::string NotEditableReason(std::string_view key);

// Applies one edit as picks and entries in the window follow each other: entering the field,
// typing the value and leaving it, or picking the item, or clicking the box (a box already in that
// state is not clicked).
KeyedEditResult ApplyKeyedEdit(KeyedEditSession& session, const std::string& key, const std::string& value);

}  // namespace zr

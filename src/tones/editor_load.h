// Loading an image into the editor, for every front end alike.
//
// A load is more than display: it sets the editor's check boxes from the image, and a box whose
// state changes runs its click handler, which can rewrite fields (a call switched on takes its tones
// again); it runs the band, spacing, Push To Listen, reset control and reminder picks, which make
// the band, the spacing code, the synthesizer words, the reset code and the reminder whole. What
// the load does therefore depends on what the controls showed before it: the rules read them from
// `EditorControls`, a small model of the window's check boxes, lists and texts that follows every
// answer applied to it, as the window's controls follow the same answer.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "editor_answer.h"
#include "editor_state.h"
#include "frequency_rules.h"
#include "pager_image.h"
#include "squelch_levels.h"
#include "tone_entry.h"

namespace zr {

// The check boxes, lists and texts of the editor that the rules read.
struct EditorControls {
    struct List {
        std::size_t count = 0;
        std::optional<std::size_t> selected;
        bool operator==(const List&) const = default;
    };
    std::map<std::string, bool> checked;
    std::map<std::string, List> lists;
    std::map<std::string, std::string> texts;
    // Edits that hold at most so many characters: a longer text is cut there (edtFreq holds seven).
    std::map<std::string, std::size_t> maxLengths;

    // Follows the steps as the window's controls do: a text is cut to its edit's length, a list
    // whose items are replaced selects its first item, and a selection past its last item selects
    // nothing.
    void Apply(const EditorAnswer& answer);

    bool Checked(const std::string& box) const;
    std::optional<std::size_t> Selected(const std::string& list) const;
    std::string Text(const std::string& control) const;

    bool operator==(const EditorControls&) const = default;
};

// The controls as the window shows them when it is made, before its first load: every box clear,
// every list with the items and the selection its form gives it, every text empty.
EditorControls StartupEditorControls();

// The CALL page and the Frequency box as the rules read them from the controls.
CallPage CallPageOf(const EditorControls& controls);
FrequencyControls FrequencyControlsOf(const EditorControls& controls);

// Every check box whose click is a rule, by the window's names.
const std::vector<std::string>& EditorCheckBoxes();

// A click of `box` that left it showing `checked`: the answer of that box's rule, reading the CALL
// page from `controls`. Unknown boxes answer nothing.
EditorAnswer CheckBoxClick(PagerImage& image, EditorState& state, const EditorControls& controls,
                           const std::string& box, bool checked);

// The whole load: every field of `image` shown in the controls, the boxes set from their bits with
// their handlers run on a change, the picks that make dependent fields whole. Updates `image`,
// `state` and `controls`; the answer holds every step, messages included, in the order the window
// applies them. `levels` is the squelch level table in memory.
EditorAnswer LoadImageIntoEditor(PagerImage& image, EditorState& state, EditorControls& controls,
                                 const SquelchLevelTable& levels);

// The editor of a front end without a window: the one image, the editors' state and the controls.
struct EditorSession {
    PagerImage image;
    EditorState state;
    EditorControls controls;

    // Loads `image` as the window loads it, runs the tone display that follows every load from a
    // file, the default table or the pager, and returns the messages the load showed, in order.
    EditorAnswer Load();
};

// The editor as the window holds it once made: the built-in image with the system's tag, loaded.
EditorSession StartupEditorSession();

}  // namespace zr

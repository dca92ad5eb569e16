// The editors' state that lives once for the whole run beside the one image: the tone entry mode,
// the remembered tones and tone field, and the settings editors' state.
#pragma once

#include "settings_state.h"
#include "tone_entry.h"

namespace zr {

struct EditorState {
    ToneEditorState tones;
    SettingsEditorState settings;
};

}  // namespace zr

// The settings editors' state that lives once, for the whole run, beside the one image.
#pragma once

#include <cstdint>
#include <string>

#include "squelch_levels.h"

namespace zr {

struct SettingsEditorState {
    // Tone spacing threshold in tenths of a percent; only a Decoder Bandwidth pick changes it.
    std::uint8_t spacingTenths = 15;
    // The channel step in hertz now in force.
    std::uint32_t channelStep = 12500;
    // 1 for the 135-174 MHz band, 2 for the 400-499 MHz band.
    unsigned bandMultiplier = 1;
    // The last frequency text of each band, put back when the user returns to that band.
    std::string vhfFrequencyText = "1590000";
    std::string uhfFrequencyText = "4620000";
    SquelchLevelTable squelchLevels = BuiltInSquelchLevelTable();
};

}  // namespace zr

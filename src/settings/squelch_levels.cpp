#include "squelch_levels.h"

#include <cmath>

namespace zr {

namespace {

// The level byte of a threshold, before the rounding that decides which bytes agree with it.
float LevelBytePrecise(std::int32_t hundredths) {
    return static_cast<float>(hundredths * 0.01 * 255.0 * (1.0 / 3.0));
}

// A stored byte agrees with a threshold when it is the threshold rounded half up or truncated, so
// both bytes that older software may have written for it pass.
bool Agrees(std::uint8_t stored, std::int32_t hundredths) {
    const float precise = LevelBytePrecise(hundredths);
    return stored == RoundHalfUp(precise) || stored == static_cast<std::int64_t>(std::trunc(precise));
}

}  // namespace

std::int64_t RoundHalfUp(double x) { return static_cast<std::int64_t>(std::floor(x + 0.5)); }

bool RepairSquelchThresholds(PagerImage& image, const SquelchLevelTable& levels) {
    for (const auto& level : levels) {
        if (Agrees(image[kSpeakerOffOffset], level.offHundredths) && Agrees(image[kSpeakerOnOffset], level.onHundredths))
            return false;
    }
    // The replacement pair is fixed: 0.80 V and 0.96 V, whatever the table holds now.
    image[kSpeakerOffOffset] = 68;
    image[kSpeakerOnOffset] = 82;
    return true;
}

}  // namespace zr

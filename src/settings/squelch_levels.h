// The five squelch levels the technician picks from, and the repair that keeps a pager's speaker
// thresholds on one of them.
#pragma once

#include <array>
#include <cstdint>

#include "field_lists.h"
#include "pager_image.h"

namespace zr {

inline constexpr std::size_t kSpeakerOnOffset = 76;
inline constexpr std::size_t kSpeakerOffOffset = 79;

// The level table kept in memory: built-in values at every start, never stored in an image or file.
using SquelchLevelTable = std::array<SquelchPair, 5>;

inline SquelchLevelTable BuiltInSquelchLevelTable() { return kBuiltInSquelchLevels; }

// floor(x + 0.5)
std::int64_t RoundHalfUp(double x);

// A speaker OFF/ON pair (offsets 79/76) that agrees with no level of the table becomes 68/82, the
// built-in level 5 pair. Returns true when the image was changed.
bool RepairSquelchThresholds(PagerImage& image, const SquelchLevelTable& levels);

}  // namespace zr

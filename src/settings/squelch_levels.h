// The five squelch levels the technician picks from, and the repair that keeps a pager's speaker
// thresholds on one of them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "image_offsets.h"
#include "editor_answer.h"
#include "field_lists.h"
#include "pager_image.h"

namespace zr {


// The level table kept in memory: built-in values at every start, never stored in an image or file.
using SquelchLevelTable = std::array<SquelchPair, 5>;

inline SquelchLevelTable BuiltInSquelchLevelTable() { return kBuiltInSquelchLevels; }

// floor(x + 0.5)
std::int64_t RoundHalfUp(double x);

// A speaker OFF/ON pair (offsets 79/76) that agrees with no level of the table becomes 68/82, the
// built-in level 5 pair. Returns true when the image was changed.
bool RepairSquelchThresholds(PagerImage& image, const SquelchLevelTable& levels);

// The image as every Write sends it: the speaker thresholds repaired, then sealed.
void PrepareImageForWrite(PagerImage& image, const SquelchLevelTable& levels);

// A level picked in `cboSQL`: its pair shown in `edtSSI` and `edtRSSI2` with two decimals, and the
// level bytes of those texts stored at 79 and 76.
EditorAnswer SquelchLevelClick(PagerImage& image, const SquelchLevelTable& levels, std::size_t level);

// The level a loaded image shows: the first whose Speaker OFF value equals the shown Speaker OFF
// threshold; none leaves `cboSQL` as it was. Selecting it stores nothing.
std::optional<std::size_t> SelectSquelchLevel(const SquelchLevelTable& levels, std::uint8_t speakerOffByte);

// The table in its edits `edtSQL_OFF0`..`edtSQL_OFF4` and `edtSQL_ON0`..`edtSQL_ON4`.
EditorAnswer ShowSquelchLevelTable(const SquelchLevelTable& levels);

enum class SquelchColumn { SpeakerOff, SpeakerOn };

// Leaving a table edit: empty shows the table value again; otherwise the entry, shown with two
// decimals, becomes the value of that level and column (no range), and the level selected in
// `cboSQL`, if any, is applied again so the image follows a change of it.
EditorAnswer SquelchTableFieldExit(PagerImage& image, SquelchLevelTable& levels, std::size_t level,
                                   SquelchColumn column, std::string_view text,
                                   std::optional<std::size_t> selectedLevel);

}  // namespace zr

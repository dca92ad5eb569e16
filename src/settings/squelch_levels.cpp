#include "squelch_levels.h"

#include <cmath>
#include <limits>
#include <string>

#include "encodings.h"
#include "entry_messages.h"
#include "number_text.h"

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

std::string HundredthsText(std::int32_t hundredths) { return FormatFixed(hundredths * 0.01, 2, 1); }

std::string TableEditName(std::size_t level, SquelchColumn column) {
    return (column == SquelchColumn::SpeakerOff ? "edtSQL_OFF" : "edtSQL_ON") + std::to_string(level);
}

std::int32_t& TableValue(SquelchLevelTable& levels, std::size_t level, SquelchColumn column) {
    return column == SquelchColumn::SpeakerOff ? levels[level].offHundredths : levels[level].onHundredths;
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

void PrepareImageForWrite(PagerImage& image, const SquelchLevelTable& levels) {
    RepairSquelchThresholds(image, levels);
    SealImageForWrite(image);
}

}  // namespace zr

namespace zr {

EditorAnswer SquelchLevelClick(PagerImage& image, const SquelchLevelTable& levels, std::size_t level) {
    EditorAnswer answer;
    if (level >= levels.size()) return answer;
    const std::string off = HundredthsText(levels[level].offHundredths);
    const std::string on = HundredthsText(levels[level].onHundredths);
    answer.Text("edtSSI", off);
    answer.Text("edtRSSI2", on);
    image[kSpeakerOffOffset] = VoltsToLevelByte(*ParseDecimal(off));
    image[kSpeakerOnOffset] = VoltsToLevelByte(*ParseDecimal(on));
    answer.MarkStored();
    return answer;
}

std::optional<std::size_t> SelectSquelchLevel(const SquelchLevelTable& levels, std::uint8_t speakerOffByte) {
    return FindSquelchLevel(levels, speakerOffByte);
}

EditorAnswer ShowSquelchLevelTable(const SquelchLevelTable& levels) {
    EditorAnswer answer;
    for (std::size_t level = 0; level < levels.size(); ++level) {
        answer.Text(TableEditName(level, SquelchColumn::SpeakerOff), HundredthsText(levels[level].offHundredths));
        answer.Text(TableEditName(level, SquelchColumn::SpeakerOn), HundredthsText(levels[level].onHundredths));
    }
    return answer;
}

EditorAnswer SquelchTableFieldExit(PagerImage& image, SquelchLevelTable& levels, std::size_t level,
                                   SquelchColumn column, std::string_view text,
                                   std::optional<std::size_t> selectedLevel) {
    EditorAnswer answer;
    if (level >= levels.size()) return answer;
    const std::string edit = TableEditName(level, column);
    if (text.empty()) {
        answer.Text(edit, HundredthsText(TableValue(levels, level, column)));
        return answer;
    }
    const auto volts = ParseDecimal(text);
    // The hundredths are taken from the two-decimal text itself, so 0.57 is 57 and not 56.999...
    const auto hundredths = volts ? std::llround(*ParseDecimal(FormatFixed(*volts, 2, 1)) * 100) : 0;
    if (!volts || hundredths < std::numeric_limits<std::int32_t>::min() ||
        hundredths > std::numeric_limits<std::int32_t>::max()) {
        answer.Refuse(NotANumberMessage(text));
        answer.Focus(edit);
        return answer;
    }
    TableValue(levels, level, column) = static_cast<std::int32_t>(hundredths);
    answer.Text(edit, HundredthsText(static_cast<std::int32_t>(hundredths)));
    if (selectedLevel) answer.Append(SquelchLevelClick(image, levels, *selectedLevel));
    return answer;
}

}  // namespace zr

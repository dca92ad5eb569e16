// The pager's own encodings of levels and times in one byte.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "field_lists.h"

namespace zr {

// A level of 0..1 V in steps of 3/255 V: volts x 255 x 1/3, rounded to single precision, then to the
// nearest integer with halves to the even neighbour (0.50 V gives 42). Values outside 0..1 V are the
// caller's to refuse; the result is clamped to a byte.
std::uint8_t VoltsToLevelByte(double volts);
// The level a byte holds, as the fields show it: byte x 3 / 255 with two decimals (60 shows 0.71).
std::string LevelByteToVolts(std::uint8_t level);

// A time of 0..127.5 s held as twice its value, shown with one decimal (16 shows 8.0).
std::string HalfSecondsText(std::uint8_t halfSeconds);

// The pager's firmware version as the window shows it: major, ".", minor read as one decimal number,
// shown with two decimals (5 and 10 show 5.10, 5 and 9 show 5.90, 5 and 115 show 5.12).
std::string FirmwareVersionText(std::uint8_t major, std::uint8_t minor);
// The same number in single precision, as the firmware gate compares it.
float FirmwareVersionNumber(std::uint8_t major, std::uint8_t minor);

// A tone word in tenths of a hertz as the tone fields show it: "%04.1f" (6699 shows 669.9).
std::string ToneText(std::uint16_t tenths);

// The squelch level whose Speaker OFF value equals the level shown for `speakerOffByte`, compared
// in whole hundredths of a volt; the first match counts.
std::optional<std::size_t> FindSquelchLevel(std::span<const SquelchPair> levels, std::uint8_t speakerOffByte);

}  // namespace zr

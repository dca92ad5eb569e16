// Where the image's fields lie: one name for each offset, shared by the field table, the editing
// rules and the window's loader.
#pragma once

#include <cstddef>

namespace zr {

inline constexpr std::size_t kFirmwareMajorOffset = 1;  // the pager's version, read by a Write
inline constexpr std::size_t kFirmwareMinorOffset = 2;
inline constexpr std::size_t kFirstDigitOffset = 3;      // seven frequency digits; the first selects the band
inline constexpr std::size_t kSpacingCodeOffset = 10;
inline constexpr std::size_t kCallEnablesOffset = 48;    // bit n-1: call n switched on
inline constexpr std::size_t kDecoderBandwidthOffset = 49;
inline constexpr std::size_t kRecordSectionsOffset = 62;
inline constexpr std::size_t kLowBatteryOffset = 63;
inline constexpr std::size_t kResetControlOffset = 67;
inline constexpr std::size_t kOptionsOffset = 69;        // the eight option switches
inline constexpr std::size_t kReminderOffset = 70;
inline constexpr std::size_t kSpeakerOnOffset = 76;
inline constexpr std::size_t kSpeakerOffOffset = 79;
inline constexpr std::size_t kOptions2Offset = 81;       // full-time monitor, max volume, PTL mode, squelch record
inline constexpr std::size_t kLowBatteryReminderOffset = 84;
inline constexpr std::size_t kGroupEnablesOffset = 95;   // bit g-1: group call g switched on
inline constexpr std::size_t kCallAlertOffset = 96;      // alert byte and time of call n at 96 + 2(n-1)
inline constexpr std::size_t kGroupAlertOffset = 112;    // alert byte and time of group g at 112 + 2(g-1)
inline constexpr std::size_t kPllrOffset = 120;
inline constexpr std::size_t kPllnOffset = 124;
inline constexpr std::size_t kNarrowbandOffset = 128;

}  // namespace zr

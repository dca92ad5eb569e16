// The item texts of the pager's list fields and the bytes they stand for. The field decoding and the
// editing rules both take their lists from here, so a text or code has one home.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace zr {

inline constexpr std::array<std::string_view, 2> kBandItems = {"135-174 MHz", "400-499 MHz"};
inline constexpr std::array<std::string_view, 3> kVhfSpacingItems = {"12.5 K", "10 K", "Auto"};
inline constexpr std::array<std::string_view, 4> kUhfSpacingItems = {"12.5 K", "10 K", "6.25 K", "5 K"};
// The steps of the "Auto" spacing; spacing code 32 + i stands for entry i.
inline constexpr std::array<std::uint32_t, 6> kAutoStepList = {25000, 12500, 10000, 6250, 5000, 2500};
inline constexpr std::uint8_t kFirstAutoSpacingCode = 32;

inline constexpr std::array<std::string_view, 16> kDecoderBandwidthItems = {
    "0.1", "0.3", "0.5", "0.7", "0.9", "1.1", "1.3", "1.5", "1.7", "1.9", "2.1", "2.3", "2.5", "2.7", "2.9", "3.1"};

inline constexpr std::array<std::string_view, 9> kAlertTypeItems = {"0", "1", "2", "3", "4", "5", "6", "7", "8"};

// Reset control list, in the order of its entries, and the code each entry stores at offset 67.
inline constexpr std::array<std::string_view, 6> kResetControlNames = {
    "Auto Reset", "Delay N sec Auto Reset", "Manual RESET", "Time-Out RESET", "Revert SQ", "Delay AUTO N with Revert"};
inline constexpr std::array<std::uint8_t, 6> kResetControlCodes = {0, 1, 3, 4, 2, 5};

inline constexpr std::array<std::string_view, 4> kReminderItems = {"Disable", "30  Second", "60  Second", "120 Second"};
inline constexpr std::array<std::uint8_t, 4> kReminderCodes = {0, 60, 120, 240};

inline constexpr std::array<std::string_view, 3> kRecordSectionItems = {
    "1 section (120 second)", "2 sections (60 second)", "4 sections (30 second)"};

inline constexpr std::array<std::string_view, 5> kLowBatteryReminderItems = {"Disable", "2 min", "5 min", "10 min", "30 min"};
inline constexpr std::array<std::uint8_t, 5> kLowBatteryReminderCodes = {0, 4, 10, 20, 60};

inline constexpr std::array<std::string_view, 5> kLowBatteryItems = {"1.10 v", "1.12 v", "1.14 v", "1.17 v", "1.20 v"};
inline constexpr std::array<std::uint8_t, 5> kLowBatteryCodes = {94, 96, 98, 100, 102};

inline constexpr std::array<std::string_view, 3> kPushToListenItems = {
    "Disable", "Alert & Vibration Mode", "Vibration Mode Only"};

inline constexpr std::array<std::string_view, 5> kSquelchLevelItems = {"1", "2", "3", "4", "5"};

// Speaker OFF and ON thresholds of the five squelch levels, in hundredths of a volt.
struct SquelchPair {
    std::int32_t offHundredths;
    std::int32_t onHundredths;
    bool operator==(const SquelchPair&) const = default;
};
inline constexpr std::array<SquelchPair, 5> kBuiltInSquelchLevels = {{{96, 99}, {92, 99}, {88, 98}, {84, 97}, {80, 96}}};

// Index of `code` in `codes`, or nothing when no entry stores it.
inline std::optional<std::size_t> IndexOfCode(std::span<const std::uint8_t> codes, unsigned code) {
    for (std::size_t i = 0; i < codes.size(); ++i)
        if (codes[i] == code) return i;
    return std::nullopt;
}

// Reset control entry for a stored code: 0 -> 0, 1 -> 1, 2 -> 4, 3 -> 2, 4 -> 3, 5 -> 5.
inline std::optional<std::size_t> SelectResetControlItem(unsigned code) { return IndexOfCode(kResetControlCodes, code); }

// Reminder entry the window selects for a stored byte: 0, 1..89, 90..179, 180..255.
inline std::size_t ReminderItemForByte(std::uint8_t stored) {
    if (stored == 0) return 0;
    if (stored < 90) return 1;
    if (stored < 180) return 2;
    return 3;
}

// The item `index` of a list, or nothing when the list has no such item.
template <std::size_t N>
std::optional<std::string_view> ItemAt(const std::array<std::string_view, N>& items, std::size_t index) {
    if (index >= N) return std::nullopt;
    return items[index];
}

}  // namespace zr

// The messages the editing rules show, each with its one home here.
#pragma once

#include <string>
#include <string_view>

#include "message.h"

namespace zr {

inline constexpr std::string_view kByteRangeText = "Please insert a number between 0 to 255";
inline constexpr std::string_view kWordRangeText = "Please insert a number between 0 to 65535";
inline constexpr std::string_view kLevelRangeText = "Please insert a number between 0 to 1";
inline constexpr std::string_view kHalfSecondsFromOneText = "Please insert a number between 1 to 127.5";
inline constexpr std::string_view kHalfSecondsFromZeroText = "Please insert a number between 0 to 127.5";
inline constexpr std::string_view kHalfSecondStepText = "The interval is 0.5 second.";
inline constexpr std::string_view kNumericOnlyText = "Please insert a numeric!";
inline constexpr std::string_view kChannelSpacingErrorText = "Channel Spacing Error!";

// Text that does not read as a number can only be pasted; it is refused, naming what was pasted.
inline Message NotANumberMessage(std::string_view text) {
    return {std::string(kApplicationTitle), "'" + std::string(text) + "' is not a valid number.", MessageIcon::Stop,
            MessageButtons::Ok};
}
inline Message NotAWholeNumberMessage(std::string_view text) {
    return {std::string(kApplicationTitle), "'" + std::string(text) + "' is not a valid whole number.",
            MessageIcon::Stop, MessageButtons::Ok};
}

// "Frequency setting error(1350000 < = Frequency < =1740000 )" for the 135-174 MHz band; a plain box.
inline Message FrequencySettingErrorMessage(std::string_view low, std::string_view high) {
    return PlainMessage("Frequency setting error(" + std::string(low) + "0000 < = Frequency < =" + std::string(high) +
                        "0000 )");
}

}  // namespace zr

#include "encodings.h"

#include <algorithm>
#include <cmath>

#include "number_text.h"

namespace zr {

std::uint8_t VoltsToLevelByte(double volts) {
    const float product = static_cast<float>(volts * 255.0 * (1.0 / 3.0));
    const float rounded = std::nearbyint(product);  // the default rounding mode sends halves to even
    return static_cast<std::uint8_t>(std::clamp(rounded, 0.0f, 255.0f));
}

std::string LevelByteToVolts(std::uint8_t level) { return FormatFixed(level * 3.0 / 255.0, 2, 1); }

std::string HalfSecondsText(std::uint8_t halfSeconds) { return FormatFixed(halfSeconds * 0.5, 1, 1); }

namespace {

// The minor byte is read as the digits after the point: minor 10 and minor 1 both make 5.1.
double FirmwareVersionValue(std::uint8_t major, std::uint8_t minor) {
    return ParseDecimal(std::to_string(major) + "." + std::to_string(minor)).value_or(0.0);
}

}  // namespace

std::string FirmwareVersionText(std::uint8_t major, std::uint8_t minor) {
    return FormatFixed(FirmwareVersionValue(major, minor), 2);
}

float FirmwareVersionNumber(std::uint8_t major, std::uint8_t minor) {
    return static_cast<float>(FirmwareVersionValue(major, minor));
}

std::string ToneText(std::uint16_t tenths) { return FormatFixed(tenths * 0.1, 1, 4); }

std::optional<std::size_t> FindSquelchLevel(std::span<const SquelchPair> levels, std::uint8_t speakerOffByte) {
    const double shown = ParseDecimal(LevelByteToVolts(speakerOffByte)).value_or(-1.0);
    const auto hundredths = std::lround(shown * 100.0);
    for (std::size_t i = 0; i < levels.size(); ++i)
        if (levels[i].offHundredths == hundredths) return i;
    return std::nullopt;
}

}  // namespace zr

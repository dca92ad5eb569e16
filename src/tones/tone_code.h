// The timing code the pager keeps beside each tone frequency.
#pragma once

#include <cstdint>

namespace zr {

// For a tone of q tenths of a hertz: t whole tone periods fit a window of 118920/3579545 s, and u
// is what is left of the window in ticks of 3579545/120 Hz. The code is bit 15 set, t in bits 14..7
// and u in bits 6..0 (t <= 116 and u <= 99 for the tones an entry accepts, 280.0..3500.0 Hz).
constexpr std::uint16_t EncodeToneCode(std::uint16_t tenths) {
    if (tenths == 0) return 0x8000;
    constexpr std::uint64_t kClockHz = 3579545;
    constexpr std::uint64_t kWindow = 11892;
    const std::uint64_t q = tenths;
    const std::uint64_t t = q * kWindow / kClockHz;
    const std::uint64_t u = (kWindow * q - kClockHz * t) / (12 * q);
    return static_cast<std::uint16_t>(0x8000 + 128 * t + u);
}

static_assert(EncodeToneCode(3305) == 0x8558 && EncodeToneCode(6699) == 0x8B0B && EncodeToneCode(35000) == 0xBA02);

}  // namespace zr

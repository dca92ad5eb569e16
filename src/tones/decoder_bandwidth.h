// How near a heard tone must come to a programmed tone for the pager's decoder to take it: within
// the decoder bandwidth chosen at image offset 49, a percentage of the programmed tone either way.
// The fleet's tone plan, the test pages and the decoding of recordings all judge tones by this rule.
#pragma once

#include <optional>

#include "pager_image.h"

namespace zr {

// The decoder bandwidth in percent ("0.1" .. "3.1"); none when the byte selects no list item.
std::optional<double> DecoderBandwidthPercent(const PagerImage& image);

// How far a heard tone lies from a programmed one, in percent of the programmed tone.
double ToneOffsetPercent(double heardHz, double programmedHz);

// Whether a decoder of the given bandwidth takes the heard tone for the programmed one (edges count).
bool ToneWithinBandwidth(double heardHz, double programmedHz, double bandwidthPercent);

}  // namespace zr

#include "decoder_bandwidth.h"

#include <cmath>

#include "field_lists.h"
#include "image_offsets.h"

namespace zr {

std::optional<double> DecoderBandwidthPercent(const PagerImage& image) {
    const std::size_t item = image[kDecoderBandwidthOffset];
    if (item >= kDecoderBandwidthItems.size()) return std::nullopt;
    // Items step by 0.2 % from 0.1 %: computed from whole tenths so 1.5 is exactly 15 / 10.
    return static_cast<double>(1 + 2 * item) / 10.0;
}

double ToneOffsetPercent(double heardHz, double programmedHz) {
    if (programmedHz <= 0.0) return INFINITY;
    return std::fabs(heardHz - programmedHz) / programmedHz * 100.0;
}

bool ToneWithinBandwidth(double heardHz, double programmedHz, double bandwidthPercent) {
    // A relative margin keeps a tone exactly on the edge inside despite the rounding of the division.
    return ToneOffsetPercent(heardHz, programmedHz) <= bandwidthPercent * (1.0 + 1e-12);
}

}  // namespace zr

#include "test_page.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "image_offsets.h"
#include "tone_entry.h"

namespace zr {
namespace {

constexpr double kRampSeconds = 0.005;

// A stretch of the signal: a tone, or silence when `hz` is 0.
struct Stretch {
    double hz = 0;
    std::size_t samples = 0;
};

double RaisedCosine(double u) { return 0.5 - 0.5 * std::cos(std::numbers::pi * std::clamp(u, 0.0, 1.0)); }

std::vector<Stretch> Stretches(const std::vector<Page>& pages, const PageTiming& timing) {
    std::vector<Stretch> stretches;
    auto add = [&](double hz, double seconds) {
        const std::size_t samples = SampleCount(seconds, timing.rate);
        if (samples > 0) stretches.push_back({hz, samples});
    };
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (i > 0) add(0, timing.pauseSeconds);
        const Page& page = pages[i];
        if (page.tone2Tenths) {
            add(page.tone1Tenths / 10.0, timing.tone1Seconds);
            add(0, timing.gapSeconds);
            add(*page.tone2Tenths / 10.0, timing.tone2Seconds);
        } else {
            add(page.tone1Tenths / 10.0, timing.groupSeconds);
        }
    }
    return stretches;
}

}  // namespace

Page PageOfCall(const PagerImage& image, unsigned call) {
    return {"call " + std::to_string(call), GetWord16(image, ToneFrequencyOffset({ToneKind::Tone1, call})),
            GetWord16(image, ToneFrequencyOffset({ToneKind::Tone2, call})),
            GetImageBits(image, kCallEnablesOffset, call - 1, 1) != 0};
}

Page PageOfGroupCall(const PagerImage& image, unsigned group) {
    return {"group " + std::to_string(group), GetWord16(image, ToneFrequencyOffset({ToneKind::Group, group})),
            std::nullopt, GetImageBits(image, kGroupEnablesOffset, group - 1, 1) != 0};
}

std::optional<std::string> CheckPageTiming(const PageTiming& timing) {
    auto within = [](double value, double low, double high) { return std::isfinite(value) && value >= low && value <= high; };
    if (!within(timing.tone1Seconds, 0.05, 60) || !within(timing.tone2Seconds, 0.05, 60) ||
        !within(timing.groupSeconds, 0.05, 60))
        return "a tone lasts from 0.05 to 60 seconds";
    if (!within(timing.gapSeconds, 0, 60) || !within(timing.pauseSeconds, 0, 60))
        return "a gap or pause lasts from 0 to 60 seconds";
    if (!within(timing.levelDbfs, -60, 0)) return "the level lies from -60 to 0 dBFS";
    if (timing.rate < 8000 || timing.rate > 192000) return "the rate lies from 8000 to 192000 samples per second";
    return std::nullopt;
}

std::size_t SampleCount(double seconds, unsigned rate) {
    return static_cast<std::size_t>(std::llround(std::max(0.0, seconds) * rate));
}

std::vector<float> MakePageSignal(const std::vector<Page>& pages, const PageTiming& timing) {
    const std::vector<Stretch> stretches = Stretches(pages, timing);
    const double amplitude = std::pow(10.0, timing.levelDbfs / 20.0);
    const double rate = timing.rate;
    std::size_t total = 0;
    for (const Stretch& s : stretches) total += s.samples;
    std::vector<float> samples(total, 0.0f);

    double phase = 0;  // cycles, kept in 0..1: the tone runs on across a join
    std::size_t at = 0;
    for (std::size_t i = 0; i < stretches.size(); ++i) {
        const Stretch& s = stretches[i];
        if (s.hz == 0) {
            at += s.samples;
            phase = 0;
            continue;
        }
        const double ramp = std::min(kRampSeconds * rate, s.samples / 3.0);
        const bool risesFromSilence = i == 0 || stretches[i - 1].hz == 0;
        const bool fallsToSilence = i + 1 == stretches.size() || stretches[i + 1].hz == 0;
        // A join glides along a raised cosine over one ramp, centred on the join: the first half in
        // the earlier tone, the second in the later one.
        const double previousHz = risesFromSilence ? s.hz : stretches[i - 1].hz;
        const double nextHz = fallsToSilence ? s.hz : stretches[i + 1].hz;
        for (std::size_t n = 0; n < s.samples; ++n) {
            const double t = n + 0.5;             // sample centre, in samples from the stretch's start
            const double fromEnd = s.samples - t;
            double gain = 1;
            if (risesFromSilence) gain *= RaisedCosine(t / ramp);
            if (fallsToSilence) gain *= RaisedCosine(fromEnd / ramp);
            double hz = s.hz;
            if (t < ramp / 2) hz = previousHz + (s.hz - previousHz) * RaisedCosine(0.5 + t / ramp);
            if (fromEnd < ramp / 2) hz = s.hz + (nextHz - s.hz) * RaisedCosine(0.5 - fromEnd / ramp);
            samples[at + n] = static_cast<float>(amplitude * gain * std::sin(2 * std::numbers::pi * phase));
            phase += hz / rate;
            phase -= std::floor(phase);
        }
        at += s.samples;
    }
    return samples;
}

}  // namespace zr

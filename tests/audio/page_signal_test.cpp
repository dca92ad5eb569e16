// The made page measured from the outside: frequencies by timing zero crossings, lengths by where the
// silence between stacked pages lies, level by the peaks, continuity by the steepest step.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "test_page.h"

namespace zr {
namespace {

// The frequency of a steady stretch from its first and last upward zero crossings, each placed
// between its two samples.
double ZeroCrossingHz(const std::vector<float>& x, std::size_t begin, std::size_t end, unsigned rate) {
    double first = -1, last = -1;
    std::size_t crossings = 0;
    for (std::size_t n = begin; n + 1 < end; ++n) {
        if (x[n] < 0 && x[n + 1] >= 0) {
            const double at = n + x[n] / (x[n] - x[n + 1]);
            if (first < 0) first = at;
            last = at;
            ++crossings;
        }
    }
    return (crossings - 1) * rate / (last - first);
}

TEST(PageSignal, TonesLengthsLevelAndContinuity) {
    PageTiming timing;
    timing.tone1Seconds = 0.7;
    timing.tone2Seconds = 2.3;
    timing.pauseSeconds = 1.1;
    timing.rate = 44100;
    timing.levelDbfs = -6;
    const std::vector<Page> pages{{"call 1", 3490, 6009, true}, {"group 1", 24682, std::nullopt, true}};
    const std::vector<float> x = MakePageSignal(pages, timing);

    const std::size_t tone1 = 30870, tone2 = 101430, pause = 48510, group = 352800;  // samples at 44.1 kHz
    ASSERT_EQ(x.size(), tone1 + tone2 + pause + group);
    const std::size_t pauseAt = tone1 + tone2;
    EXPECT_NE(x[pauseAt - 1], 0.0f);
    EXPECT_TRUE(std::all_of(x.begin() + pauseAt, x.begin() + pauseAt + pause, [](float s) { return s == 0; }));
    EXPECT_NE(x[pauseAt + pause + 1], 0.0f);

    const std::size_t edge = 441;  // 10 ms: past the ramps and the glide at the join
    EXPECT_NEAR(ZeroCrossingHz(x, edge, tone1 - edge, 44100), 349.0, 0.01);
    EXPECT_NEAR(ZeroCrossingHz(x, tone1 + edge, pauseAt - edge, 44100), 600.9, 0.01);
    EXPECT_NEAR(ZeroCrossingHz(x, pauseAt + pause + edge, x.size() - edge, 44100), 2468.2, 0.01);

    const double amplitude = std::pow(10.0, -6 / 20.0);
    const float peak = *std::max_element(x.begin(), x.end(), [](float a, float b) { return std::abs(a) < std::abs(b); });
    EXPECT_NEAR(std::abs(peak), amplitude, 1e-3);
    // No step anywhere, joins and ends included, is steeper than the highest tone's sine allows.
    double steepest = 0;
    for (std::size_t n = 1; n < x.size(); ++n) steepest = std::max(steepest, double(std::abs(x[n] - x[n - 1])));
    EXPECT_LE(steepest, 2 * std::numbers::pi * 2468.2 / 44100 * amplitude * 1.001);
    // Ends start and stop at rest: the ramps, not a cut.
    EXPECT_LT(std::abs(x[1]), 1e-3);
    EXPECT_LT(std::abs(x.back()), 1e-3);
}

TEST(PageSignal, StepAtTheJoinOfTwoTonesIsNoSteeperThanTheTones) {
    PageTiming timing;
    const std::vector<float> x = MakePageSignal({{"call 1", 4000, 20000, true}}, timing);
    const std::size_t join = 48000;
    double steepest = 0;
    for (std::size_t n = join - 480; n < join + 480; ++n) steepest = std::max(steepest, double(std::abs(x[n + 1] - x[n])));
    EXPECT_LE(steepest, 2 * std::numbers::pi * 2000.0 / 48000 * std::pow(10.0, -6 / 20.0) * 1.001);
    EXPECT_NEAR(ZeroCrossingHz(x, join + 480, x.size() - 480, 48000), 2000.0, 0.01);
}

TEST(PageSignal, TimingOutsideWhatEncodersDoIsRefused) {
    EXPECT_FALSE(CheckPageTiming(PageTiming{}));
    struct Case { PageTiming timing; } cases[] = {
        {{.tone1Seconds = 0}}, {{.groupSeconds = -1}}, {{.gapSeconds = NAN}}, {{.levelDbfs = 1}}, {{.rate = 100}},
    };
    for (const auto& c : cases) EXPECT_TRUE(CheckPageTiming(c.timing));
}

}  // namespace
}  // namespace zr

// Made recordings decoded: clean, noisy, too short, stacked, a group tone; and which units of a
// fleet each page alerts, inside and just outside their decoder bandwidth.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "decoder_bandwidth.h"
#include "image_offsets.h"
#include "page_decoder.h"
#include "page_match.h"
#include "test_page.h"
#include "tone_entry.h"

namespace zr {
namespace {

// Adds white noise at `snrDb` below the signal's power over its tones (silence left out).
std::vector<float> WithNoise(std::vector<float> x, double snrDb, unsigned seed) {
    double power = 0;
    std::size_t sounding = 0;
    for (float s : x)
        if (s != 0) power += s * s, ++sounding;
    std::mt19937 random(seed);
    std::normal_distribution<float> noise(0.0f, static_cast<float>(std::sqrt(power / sounding / std::pow(10.0, snrDb / 10))));
    for (float& s : x) s += noise(random);
    return x;
}

std::vector<float> Silence(double seconds, unsigned rate) { return std::vector<float>(SampleCount(seconds, rate), 0.0f); }

std::vector<float> Join(std::vector<float> a, const std::vector<float>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Expected {
    double tone1;
    double tone2;  // 0: a group call
    double start;
};

TEST(PageDecoder, FindsThePagesOfMadeRecordings) {
    const unsigned rate = 48000;
    PageTiming timing;
    const Page call{"call 1", 3490, 6009, true}, other{"call 2", 10069, 14590, true}, group{"group", 20000, std::nullopt, true};
    auto made = [&](std::vector<Page> pages, PageTiming t = PageTiming{}) {
        return Join(Join(Silence(0.5, rate), MakePageSignal(pages, t)), Silence(0.5, rate));
    };
    PageTiming shortTones;
    shortTones.tone1Seconds = shortTones.tone2Seconds = 0.2;
    PageTiming slowEncoder;
    slowEncoder.tone1Seconds = 0.5;
    slowEncoder.tone2Seconds = 4.5;
    slowEncoder.gapSeconds = 1.25;
    struct Case {
        const char* name;
        std::vector<float> recording;
        std::vector<Expected> pages;
    } cases[] = {
        {"clean call", made({call}), {{349.0, 600.9, 0.5}}},
        {"call at 10 dB", WithNoise(made({call}), 10, 1), {{349.0, 600.9, 0.5}}},
        {"call at 6 dB", WithNoise(made({other}), 6, 2), {{1006.9, 1459.0, 0.5}}},
        {"stacked calls and a group tone", WithNoise(made({call, other, group}), 10, 3),
         {{349.0, 600.9, 0.5}, {1006.9, 1459.0, 5.5}, {2000.0, 0, 10.5}}},
        {"slow encoder with a gap", made({other}, slowEncoder), {{1006.9, 1459.0, 0.5}}},
        {"tones too short", made({call}, shortTones), {}},
        {"lone tones shorter than a group call, too far apart for a call",
         made({call}, PageTiming{.tone1Seconds = 3.0, .tone2Seconds = 3.0, .gapSeconds = 3.0}), {}},
        {"noise alone", WithNoise(Silence(20, rate), 0, 4), {}},
        {"a chord of two steady tones, no page tone", [&] {
             auto x = made({group});
             const auto fifth = made({{"", 30000, std::nullopt, true}});
             for (std::size_t n = 0; n < x.size(); ++n) x[n] += fifth[n];
             return x;
         }(),
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<HeardPage> pages = DecodePages(c.recording, rate);
        ASSERT_EQ(pages.size(), c.pages.size());
        for (std::size_t i = 0; i < pages.size(); ++i) {
            const Expected& e = c.pages[i];
            EXPECT_NEAR(pages[i].tone1.hz, e.tone1, 0.5);
            EXPECT_NEAR(pages[i].tone1.startSeconds, e.start, 0.05);
            EXPECT_EQ(pages[i].IsGroup(), e.tone2 == 0);
            if (e.tone2 == 0) {
                EXPECT_NEAR(pages[i].tone1.seconds, 8.0, 0.05);
            } else {
                ASSERT_TRUE(pages[i].tone2);
                EXPECT_NEAR(pages[i].tone2->hz, e.tone2, 0.5);
            }
        }
    }
}

TEST(PageDecoder, ToneLengthsAndGapOfACall) {
    PageTiming timing;
    timing.tone1Seconds = 1.5;
    timing.gapSeconds = 0.4;
    timing.tone2Seconds = 2.5;
    timing.rate = 22050;
    const auto pages = DecodePages(WithNoise(Join(Silence(1.25, 22050), MakePageSignal({{"", 8000, 12000, true}}, timing)), 10, 5), 22050);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NEAR(pages[0].tone1.startSeconds, 1.25, 0.03);
    EXPECT_NEAR(pages[0].tone1.seconds, 1.5, 0.03);
    EXPECT_NEAR(pages[0].tone2->startSeconds, 3.15, 0.03);
    EXPECT_NEAR(pages[0].tone2->seconds, 2.5, 0.03);
}

TEST(PageDecoder, StreamingInOddBlocksFindsWhatTheWholeRecordingHolds) {
    const std::vector<float> x = WithNoise(MakePageSignal({{"", 5000, 7000, true}, {"", 9000, 4000, true}}, {}), 10, 6);
    const auto whole = DecodePages(x, 48000);
    PageDecoder decoder(48000);
    for (std::size_t at = 0; at < x.size(); at += 997) decoder.Feed(std::span(x).subspan(at, std::min<std::size_t>(997, x.size() - at)));
    decoder.Finish();
    const auto streamed = decoder.TakePages();
    ASSERT_EQ(whole.size(), 2u);
    ASSERT_EQ(streamed.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) EXPECT_DOUBLE_EQ(streamed[i].tone2->hz, whole[i].tone2->hz);
}

PagerImage UnitWithCall(std::uint16_t tone1, std::uint16_t tone2, std::uint8_t bandwidthItem) {
    PagerImage image = BuiltInDefaultImage();
    SetWord16(image, ToneFrequencyOffset({ToneKind::Tone1, 1}), tone1);
    SetWord16(image, ToneFrequencyOffset({ToneKind::Tone2, 1}), tone2);
    image[kDecoderBandwidthOffset] = bandwidthItem;
    return image;
}

TEST(PageMatch, UnitsAlertedWithinTheirBandwidthAndNearlyOutsideIt) {
    const std::uint8_t onePointFive = 7;  // item 7: 1.5 %
    PagerImage switchedOff = UnitWithCall(10000, 15000, onePointFive);
    SetImageBits(switchedOff, kCallEnablesOffset, 0, 0, 1);
    const std::vector<NamedImage> units{
        {"exact", UnitWithCall(10000, 15000, onePointFive)},
        {"detuned inside", UnitWithCall(10140, 15000, onePointFive)},   // 1.38 % off
        {"detuned outside", UnitWithCall(10000, 15300, onePointFive)},  // 1.96 % off
        {"far", UnitWithCall(12000, 15000, onePointFive)},
        {"switched off", switchedOff},
    };
    ASSERT_EQ(DecoderBandwidthPercent(units[0].image), 1.5);
    HeardPage page{{1000.0, 1, 1}, HeardTone{1500.0, 2, 3}};
    const auto matches = MatchPage(page, units);
    ASSERT_EQ(matches.size(), 3u);
    EXPECT_EQ(matches[0].unit, "exact");
    EXPECT_TRUE(matches[0].alerts);
    EXPECT_EQ(matches[1].unit, "detuned inside");
    EXPECT_TRUE(matches[1].alerts);
    EXPECT_EQ(matches[2].unit, "detuned outside");
    EXPECT_FALSE(matches[2].alerts);
    EXPECT_NEAR(matches[2].MissedByPercent(), 100 * 30 / 1530.0 - 1.5, 1e-9);
    EXPECT_EQ(matches[2].call, "call 1");

    HeardPage groupPage{{1000.0, 1, 8}, std::nullopt};
    EXPECT_TRUE(MatchPage(groupPage, units).empty());  // every group call of the default image is off
}

}  // namespace
}  // namespace zr

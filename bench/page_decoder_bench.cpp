// The page decoder's accuracy, false pages and speed on sound made here. Run on demand:
//
//   bash bench/page_decoder_bench.sh [BUILD_DIR]
//
// Goals: 1 s tones within 0.5 Hz at 10 dB signal-to-noise ratio; every page found at 6 dB; no page
// in 10 minutes each of noise, speech-like sound and single steady tones shorter than a page;
// decoding at least 500 times faster than real time, its memory flat over an hour.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <random>
#include <string>

#include "page_decoder.h"
#include "test_page.h"

namespace {

using namespace zr;
constexpr unsigned kRate = 48000;

std::mt19937 random(2026);

double Uniform(double low, double high) { return std::uniform_real_distribution<double>(low, high)(random); }

void AddNoise(std::vector<float>& x, double rms) {
    std::normal_distribution<float> noise(0.0f, static_cast<float>(rms));
    for (float& s : x) s += noise(random);
}

long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

// Calls of random tones at `snrDb` (noise power against the tones' power); the largest frequency
// error of tone 1 (1 s) and how many pages were found.
void Accuracy(double snrDb, int trials) {
    double worst = 0, squares = 0;
    int found = 0;
    const double amplitude = std::pow(10.0, -6 / 20.0);
    for (int i = 0; i < trials; ++i) {
        const auto tone1 = static_cast<std::uint16_t>(Uniform(3000, 24000));
        auto tone2 = static_cast<std::uint16_t>(Uniform(3000, 24000));
        if (std::abs(tone2 - tone1) < 300) tone2 = static_cast<std::uint16_t>(tone1 > 13000 ? tone1 - 2000 : tone1 + 2000);
        std::vector<float> x(kRate / 2, 0.0f);
        const auto page = MakePageSignal({{"", tone1, tone2, true}}, {});
        x.insert(x.end(), page.begin(), page.end());
        x.resize(x.size() + kRate / 2, 0.0f);
        AddNoise(x, std::sqrt(amplitude * amplitude / 2 / std::pow(10.0, snrDb / 10)));
        const auto pages = DecodePages(x, kRate);
        if (pages.size() == 1 && pages[0].tone2 && std::abs(pages[0].tone1.hz - tone1 / 10.0) < 5) {
            ++found;
            const double error = std::abs(pages[0].tone1.hz - tone1 / 10.0);
            worst = std::max(worst, error);
            squares += error * error;
        }
    }
    std::printf("%4.0f dB: %d of %d pages found; tone 1 (1 s) error max %.3f Hz, rms %.3f Hz\n", snrDb, found, trials,
                worst, std::sqrt(squares / std::max(found, 1)));
}

// Ten minutes of made sound, one second at a time; the pages the decoder reported.
template <typename MakeSecond>
std::size_t FalsePages(const char* what, MakeSecond makeSecond) {
    PageDecoder decoder(kRate);
    std::size_t pages = 0;
    std::vector<float> second(kRate);
    for (int s = 0; s < 600; ++s) {
        std::fill(second.begin(), second.end(), 0.0f);
        makeSecond(second, s);
        decoder.Feed(second);
        pages += decoder.TakePages().size();
    }
    decoder.Finish();
    pages += decoder.TakePages().size();
    std::printf("10 minutes of %s: %zu pages\n", what, pages);
    return pages;
}

// Speech-like: a voice of moving pitch with its harmonics, in syllables, over a little noise.
struct Voice {
    double phase[12]{};
    double pitch = 140, syllable = 0, syllableLeft = 0;
    void Second(std::vector<float>& x) {
        for (std::size_t n = 0; n < x.size(); ++n) {
            if (syllableLeft <= 0) {
                syllableLeft = Uniform(0.08, 0.4) * kRate;
                syllable = Uniform(0, 1) < 0.8 ? Uniform(0.05, 0.3) : 0;
                pitch = Uniform(90, 260);
            }
            --syllableLeft;
            pitch *= 1 + Uniform(-0.0004, 0.0004);
            pitch = std::clamp(pitch, 80.0, 300.0);
            double sum = 0;
            for (int h = 0; h < 12; ++h) {
                phase[h] += (h + 1) * pitch / kRate;
                sum += std::sin(2 * std::numbers::pi * phase[h]) / (h + 1);
            }
            x[n] = static_cast<float>(syllable * sum * 0.5);
        }
        AddNoise(x, 0.003);
    }
};

// Single steady tones of 0.2 to 3.9 s at random frequencies, parted by more than a call's gap.
struct SteadyTones {
    std::vector<float> pending;
    void Second(std::vector<float>& x) {
        while (pending.size() < x.size()) {
            const auto tone = static_cast<std::uint16_t>(Uniform(2800, 30000));
            PageTiming timing;
            timing.groupSeconds = Uniform(0.2, 3.9);
            const auto made = MakePageSignal({{"", tone, std::nullopt, true}}, timing);
            pending.insert(pending.end(), made.begin(), made.end());
            pending.resize(pending.size() + static_cast<std::size_t>(Uniform(1.6, 4.0) * kRate), 0.0f);
        }
        std::copy_n(pending.begin(), x.size(), x.begin());
        pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(x.size()));
        AddNoise(x, 0.01);
    }
};

// An hour of noise with a page every minute, decoded a second at a time; only the decoding is timed.
void Speed() {
    PageDecoder decoder(kRate);
    const auto page = MakePageSignal({{"", 6699, 7073, true}}, {});
    std::vector<float> second(kRate);
    std::chrono::duration<double> decoding{};
    std::size_t pages = 0;
    long tenMinutes = 0;
    for (int s = 0; s < 3600; ++s) {
        std::fill(second.begin(), second.end(), 0.0f);
        const int inMinute = s % 60;
        if (inMinute < 4)
            std::copy_n(page.begin() + inMinute * kRate, kRate, second.begin());
        AddNoise(second, 0.05);
        const auto start = std::chrono::steady_clock::now();
        decoder.Feed(second);
        decoding += std::chrono::steady_clock::now() - start;
        pages += decoder.TakePages().size();
        if (s == 600) tenMinutes = ResidentKilobytes();
    }
    decoder.Finish();
    pages += decoder.TakePages().size();
    std::printf("1 hour with a page a minute: %zu pages found, decoded in %.2f s (%.0f x real time); resident "
                "memory %ld kB after 10 minutes, %ld kB after 60\n",
                pages, decoding.count(), 3600 / decoding.count(), tenMinutes, ResidentKilobytes());
}

}  // namespace

int main() {
    Accuracy(10, 100);
    Accuracy(6, 100);
    std::size_t pages = FalsePages("white noise", [](std::vector<float>& x, int) { AddNoise(x, 0.3); });
    Voice voice;
    pages += FalsePages("speech-like sound", [&](std::vector<float>& x, int) { voice.Second(x); });
    SteadyTones steady;
    pages += FalsePages("single steady tones shorter than a page", [&](std::vector<float>& x, int) { steady.Second(x); });
    Speed();
    return pages == 0 ? 0 : 1;
}

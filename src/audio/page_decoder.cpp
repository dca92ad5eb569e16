#include "page_decoder.h"

#include <fftw3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <numbers>

namespace zr {
namespace {

constexpr double kLowestHz = 250;
constexpr double kHighestHz = 3600;
constexpr double kFrameSeconds = 0.17;
// A frame holds a tone when its strongest bin stands this far (power ratio, 20 dB) above the
// median bin of the band: far above what noise reaches in any one of the band's hundreds of bins.
constexpr double kPeakOverMedian = 100;
// A page's tone is pure: nothing else in the band within 12 dB of it (power ratio 16). A voice's
// harmonics, chords and music stand closer together and are no tone.
constexpr double kPeakOverOthers = 16;
constexpr std::size_t kMainLobeBins = 4;  // the Hann window's main lobe and near leakage
// A frame continues a tone when its frequency lies this near the tone's mean so far; a drifting or
// gliding sound (speech, a whistle) leaves it within a few frames.
constexpr double kTrackRelative = 0.003;
constexpr double kTrackHz = 1.0;
// Frames whose window reaches past the tone's start or end are left out of its frequency.
constexpr std::size_t kEdgeFrames = 2;

std::size_t FrameLength(unsigned rate) {
    std::size_t n = 256;
    while (n * 1.5 < kFrameSeconds * rate) n *= 2;
    return n;
}

double WrapPhase(double phase) { return phase - 2 * std::numbers::pi * std::round(phase / (2 * std::numbers::pi)); }

// A tone being heard: its frames so far.
struct Track {
    double firstCentre = 0;
    std::size_t bin = 0;
    std::size_t frames = 0;
    double trackHzSum = 0;  // coarse frequencies, for following the tone
    // Fine frequencies and amplitudes of the frames away from the edges; the last kEdgeFrames wait
    // here until a later frame shows they are not the end.
    double hzSum = 0, amplitudeSum = 0;
    std::size_t interior = 0;
    std::array<double, kEdgeFrames> pendingHz{}, pendingAmplitude{};
    // Amplitudes at the tone's bin: the frame before it and its first frames; its last frames.
    std::array<double, 4> rise{};
    std::array<double, 3> fall{};
    double allHzSum = 0;  // every frame's fine frequency, for a tone too short to have an interior

    double TrackHz() const { return trackHzSum / frames; }
};

}  // namespace

struct PageDecoder::State {
    unsigned rate;
    std::size_t length, hop, lowBin, highBin;
    std::vector<float> window;
    float* input = nullptr;
    fftwf_complex* spectrum = nullptr;
    fftwf_plan plan = nullptr;
    std::vector<std::complex<float>> previous;  // the last frame's spectrum
    bool havePrevious = false;
    // Half a frame of silence goes ahead of the recording, so that a tone sounding from its first
    // sample rises through a frame as it does anywhere else.
    std::vector<float> buffer;
    std::ptrdiff_t consumed = 0;  // samples of the recording before buffer[0]
    std::vector<float> powers;
    std::optional<Track> track;
    std::optional<HeardTone> waiting;  // a tone that may be the first of a call
    std::vector<HeardPage> pages;

    explicit State(unsigned r) : rate(r), length(FrameLength(r)), hop(length / 2) {
        lowBin = static_cast<std::size_t>(std::ceil(kLowestHz * length / rate));
        highBin = std::min(length / 2 - 1, static_cast<std::size_t>(kHighestHz * length / rate));
        window.resize(length);
        for (std::size_t n = 0; n < length; ++n)
            window[n] = static_cast<float>(0.5 - 0.5 * std::cos(2 * std::numbers::pi * n / length));
        input = fftwf_alloc_real(length);
        spectrum = fftwf_alloc_complex(length / 2 + 1);
        plan = fftwf_plan_dft_r2c_1d(static_cast<int>(length), input, spectrum, FFTW_ESTIMATE);
        previous.resize(length / 2 + 1);
        buffer.assign(hop, 0.0f);
        consumed = -static_cast<std::ptrdiff_t>(hop);
    }
    ~State() {
        fftwf_destroy_plan(plan);
        fftwf_free(spectrum);
        fftwf_free(input);
    }

    std::complex<float> Bin(std::size_t k) const { return {spectrum[k][0], spectrum[k][1]}; }
    double Amplitude(std::size_t k) const { return std::abs(Bin(k)); }
    double Seconds(double sample) const { return sample / rate; }

    void Frame(const float* samples, double centreSample) {
        for (std::size_t n = 0; n < length; ++n) input[n] = samples[n] * window[n];
        fftwf_execute(plan);
        powers.resize(highBin - lowBin + 1);
        std::size_t peak = lowBin;
        for (std::size_t k = lowBin; k <= highBin; ++k) {
            powers[k - lowBin] = std::norm(Bin(k));
            if (powers[k - lowBin] > powers[peak - lowBin]) peak = k;
        }
        const float peakPower = powers[peak - lowBin];
        float otherPower = 0;
        for (std::size_t k = lowBin; k <= highBin; ++k)
            if (k + kMainLobeBins < peak || k > peak + kMainLobeBins) otherPower = std::max(otherPower, powers[k - lowBin]);
        std::nth_element(powers.begin(), powers.begin() + powers.size() / 2, powers.end());
        const bool tone = peakPower > 0 && peakPower > kPeakOverMedian * powers[powers.size() / 2] &&
                          peakPower > kPeakOverOthers * otherPower && peak > lowBin && peak < highBin;
        const double centre = Seconds(centreSample);
        if (tone) {
            const double coarse = CoarseHz(peak);
            if (track && std::abs(coarse - track->TrackHz()) > kTrackRelative * track->TrackHz() + kTrackHz) EndTrack(centre);
            if (!track) StartTrack(peak, centre);
            Continue(*track, peak, coarse);
        } else if (track) {
            EndTrack(centre);
        }
        for (std::size_t k = 0; k < previous.size(); ++k) previous[k] = Bin(k);
        havePrevious = true;
    }

    // The peak's frequency from the log amplitudes of it and its neighbours (a Gaussian fit).
    double CoarseHz(std::size_t k) const {
        const double a = std::log(Amplitude(k - 1) + 1e-20), b = std::log(Amplitude(k) + 1e-20),
                     c = std::log(Amplitude(k + 1) + 1e-20);
        const double denominator = a - 2 * b + c;
        const double offset = denominator < 0 ? std::clamp(0.5 * (a - c) / denominator, -0.5, 0.5) : 0.0;
        return (k + offset) * rate / length;
    }

    // The frequency from how far the bin's phase turned since the last frame, half a frame ago.
    double FineHz(std::size_t k) const {
        if (!havePrevious) return CoarseHz(k);
        const double turned = std::arg(Bin(k)) - std::arg(previous[k]) - std::numbers::pi * static_cast<double>(k);
        return (k + WrapPhase(turned) / std::numbers::pi) * rate / length;
    }

    void StartTrack(std::size_t peak, double centre) {
        track.emplace();
        track->bin = peak;
        track->firstCentre = centre;
        track->rise[0] = havePrevious ? std::abs(previous[peak]) : 0.0;
    }

    void Continue(Track& t, std::size_t peak, double coarse) {
        const double amplitude = Amplitude(peak);
        const double fine = FineHz(peak);
        ++t.frames;
        t.trackHzSum += coarse;
        t.allHzSum += fine;
        if (t.frames < t.rise.size()) t.rise[t.frames] = amplitude;
        std::shift_left(t.fall.begin(), t.fall.end(), 1);
        t.fall.back() = amplitude;
        if (t.frames > 2 * kEdgeFrames) {  // the oldest pending frame is neither among the first nor the last
            t.hzSum += t.pendingHz[0];
            t.amplitudeSum += t.pendingAmplitude[0];
            ++t.interior;
        }
        std::shift_left(t.pendingHz.begin(), t.pendingHz.end(), 1);
        std::shift_left(t.pendingAmplitude.begin(), t.pendingAmplitude.end(), 1);
        if (t.frames > kEdgeFrames) {
            t.pendingHz.back() = fine;
            t.pendingAmplitude.back() = amplitude;
        }
        t.bin = peak;
    }

    // The tone ends before the frame centred at `centre`, whose spectrum is at hand.
    void EndTrack(double centre) {
        Track t = *track;
        track.reset();
        const double hopSeconds = Seconds(static_cast<double>(hop));
        const double half = 0.5 * (t.interior ? t.amplitudeSum / t.interior : *std::max_element(t.rise.begin() + 1, t.rise.end()));
        // Where the amplitude crosses half its steady value: there the window is half in the tone.
        double start = t.firstCentre - hopSeconds / 2;
        for (std::size_t i = 1; i < t.rise.size() && i <= t.frames; ++i) {
            if (t.rise[i] >= half) {
                const double fraction = (half - t.rise[i - 1]) / std::max(t.rise[i] - t.rise[i - 1], 1e-20);
                start = t.firstCentre + hopSeconds * (static_cast<double>(i) - 2 + std::clamp(fraction, 0.0, 1.0));
                break;
            }
        }
        const double lastCentre = centre - hopSeconds;
        std::array<double, 4> fall{t.fall[0], t.fall[1], t.fall[2], Amplitude(t.bin)};
        double end = lastCentre + hopSeconds / 2;
        const std::size_t known = std::min<std::size_t>(t.frames, 3);
        for (std::size_t i = 3; i-- > 3 - known;) {
            if (fall[i] >= half) {
                const double fraction = (fall[i] - half) / std::max(fall[i] - fall[i + 1], 1e-20);
                end = lastCentre + hopSeconds * (static_cast<double>(i) - 2 + std::clamp(fraction, 0.0, 1.0));
                break;
            }
        }
        const double hz = t.interior ? t.hzSum / t.interior : t.allHzSum / t.frames;
        start = std::max(0.0, start);
        Heard({hz, start, std::max(0.0, end - start)});
    }

    // A whole tone heard: the second of a call, the first of one, or a group call.
    void Heard(const HeardTone& tone) {
        if (tone.seconds < kShortestCallTone) return;
        if (waiting && tone.seconds <= kLongestCallTone &&
            tone.startSeconds - (waiting->startSeconds + waiting->seconds) <= kLongestGap) {
            pages.push_back({*waiting, tone});
            waiting.reset();
            return;
        }
        Flush();
        if (tone.seconds <= kLongestCallTone) waiting = tone;
        else pages.push_back({tone, std::nullopt});
    }

    // The waiting tone was no call's first: a group call when long enough.
    void Flush() {
        if (waiting && waiting->seconds >= kShortestGroupTone) pages.push_back({*waiting, std::nullopt});
        waiting.reset();
    }
};

PageDecoder::PageDecoder(unsigned rate) : state_(std::make_unique<State>(rate)) {}
PageDecoder::~PageDecoder() = default;

void PageDecoder::Feed(std::span<const float> samples) {
    State& s = *state_;
    s.buffer.insert(s.buffer.end(), samples.begin(), samples.end());
    std::size_t at = 0;
    while (at + s.length <= s.buffer.size()) {
        s.Frame(s.buffer.data() + at, static_cast<double>(s.consumed + static_cast<std::ptrdiff_t>(at)) + s.length / 2.0);
        at += s.hop;
    }
    s.buffer.erase(s.buffer.begin(), s.buffer.begin() + static_cast<std::ptrdiff_t>(at));
    s.consumed += static_cast<std::ptrdiff_t>(at);
}

void PageDecoder::Finish() {
    State& s = *state_;
    // Silence after the end lets the last tone fall away as it does before any other frame.
    const std::vector<float> silence(s.length, 0.0f);
    Feed(silence);
    if (s.track) s.EndTrack(s.Seconds(static_cast<double>(s.consumed) + s.length / 2.0));
    if (s.waiting && s.waiting->seconds >= kShortestGroupTone) s.pages.push_back({*s.waiting, std::nullopt});
    s.waiting.reset();
}

std::vector<HeardPage> PageDecoder::TakePages() {
    std::vector<HeardPage> pages;
    pages.swap(state_->pages);
    return pages;
}

std::vector<HeardPage> DecodePages(std::span<const float> samples, unsigned rate) {
    PageDecoder decoder(rate);
    decoder.Feed(samples);
    decoder.Finish();
    return decoder.TakePages();
}

}  // namespace zr

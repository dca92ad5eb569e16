// Pages heard in a recording: the tones found in it, tracked frame by frame and paired into the
// individual and group calls an encoder sends.
//
// The decoder streams: samples go in a block at a time, and it keeps only a few frames and the
// tone it waits to pair, so an hour of audio needs no more memory than a minute.
//
// It looks for tones of unknown frequency anywhere from 250 to 3600 Hz, so it takes the whole
// spectrum of each frame with one FFT; a bank of Goertzel filters pays off only for a handful of
// known tones and would miss a dispatch centre sending a tone off the plan. Each tone's frequency
// comes from the phase advance of its bin between overlapping frames, which is far finer than the
// bin spacing.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace zr {

struct HeardTone {
    double hz = 0;
    double startSeconds = 0;
    double seconds = 0;
};

// A page: two tones for an individual call, one long tone for a group call.
struct HeardPage {
    HeardTone tone1;
    std::optional<HeardTone> tone2;
    bool IsGroup() const { return !tone2.has_value(); }
};

// What makes a page: a call's tones each last at least kShortestCallTone and at most
// kLongestCallTone, the second starting within kLongestGap of the first's end; a tone heard alone
// is a group call when it lasts at least kShortestGroupTone.
inline constexpr double kShortestCallTone = 0.35;
inline constexpr double kLongestCallTone = 4.75;
inline constexpr double kLongestGap = 1.5;
inline constexpr double kShortestGroupTone = 4.0;

class PageDecoder {
public:
    explicit PageDecoder(unsigned rate);
    ~PageDecoder();
    PageDecoder(const PageDecoder&) = delete;
    PageDecoder& operator=(const PageDecoder&) = delete;

    void Feed(std::span<const float> samples);
    // The end of the recording: the tone still sounding ends here.
    void Finish();
    // The pages found since the last call, in the order they began.
    std::vector<HeardPage> TakePages();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The pages of a whole recording held in memory.
std::vector<HeardPage> DecodePages(std::span<const float> samples, unsigned rate);

}  // namespace zr

// Test pages: the tones a dispatch encoder sends to page a pager, made as samples.
//
// An individual call is tone 1 then tone 2 with no gap between them (or the gap asked for); a group
// call is one long tone; stacked pages are parted by a pause of silence. Every tone is the image's
// own frequency, in tenths of a hertz.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pager_image.h"

namespace zr {

// How an encoder times its pages; the defaults are the usual dispatch encoder's.
struct PageTiming {
    double tone1Seconds = 1.0;
    double tone2Seconds = 3.0;
    double groupSeconds = 8.0;
    double gapSeconds = 0.0;    // silence between tone 1 and tone 2
    double pauseSeconds = 1.0;  // silence between stacked pages
    double levelDbfs = -6.0;    // peak level of the tones
    unsigned rate = 48000;      // samples per second
};

// One page: an individual call (two tones) or a group call (tone 2 absent).
struct Page {
    std::string name;            // "call 1", "group 2"
    std::uint16_t tone1Tenths = 0;
    std::optional<std::uint16_t> tone2Tenths;
    bool switchedOn = true;
};

// The page of call `call` (1..4) or group call `group` (1..2) as the image holds it.
Page PageOfCall(const PagerImage& image, unsigned call);
Page PageOfGroupCall(const PagerImage& image, unsigned group);

// What limits the timing: lengths 0.05..60 s, gaps and pauses 0..60 s, level -60..0 dBFS, rate
// 8000..192000. Empty when the timing is sound, else the complaint.
std::optional<std::string> CheckPageTiming(const PageTiming& timing);

// The samples (-1..1) of the pages in order, parted by the pause. Each tone keeps its phase across a
// join; starts and ends rise and fall along a raised cosine, and a join without a gap glides from
// one frequency to the next, so there are no clicks. Every tone lasts its length to the sample.
std::vector<float> MakePageSignal(const std::vector<Page>& pages, const PageTiming& timing);

// Length of a tone or silence in samples, rounded to the nearest sample.
std::size_t SampleCount(double seconds, unsigned rate);

}  // namespace zr

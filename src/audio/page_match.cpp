#include "page_match.h"

#include <algorithm>

#include "decoder_bandwidth.h"
#include "test_page.h"
#include "tone_entry.h"

namespace zr {
namespace {

constexpr double kNearlyWidths = 3;  // offsets up to three bandwidths count as nearly alerting

std::vector<Page> SwitchedOnPagesOfKind(const PagerImage& image, bool group) {
    std::vector<Page> pages;
    if (group) {
        for (unsigned g = 1; g <= kGroupCalls; ++g) pages.push_back(PageOfGroupCall(image, g));
    } else {
        for (unsigned c = 1; c <= kCalls; ++c) pages.push_back(PageOfCall(image, c));
    }
    std::erase_if(pages, [](const Page& page) { return !page.switchedOn; });
    return pages;
}

}  // namespace

std::vector<PageMatch> MatchPage(const HeardPage& heard, const std::vector<NamedImage>& units) {
    std::vector<PageMatch> matches;
    for (const NamedImage& unit : units) {
        const auto bandwidth = DecoderBandwidthPercent(unit.image);
        if (!bandwidth) continue;  // a decoder set to no bandwidth takes nothing
        for (const Page& call : SwitchedOnPagesOfKind(unit.image, heard.IsGroup())) {
            double offset = ToneOffsetPercent(heard.tone1.hz, call.tone1Tenths / 10.0);
            bool alerts = ToneWithinBandwidth(heard.tone1.hz, call.tone1Tenths / 10.0, *bandwidth);
            if (call.tone2Tenths) {
                offset = std::max(offset, ToneOffsetPercent(heard.tone2->hz, *call.tone2Tenths / 10.0));
                alerts = alerts && ToneWithinBandwidth(heard.tone2->hz, *call.tone2Tenths / 10.0, *bandwidth);
            }
            if (alerts || offset <= kNearlyWidths * *bandwidth)
                matches.push_back({unit.name, call.name, alerts, offset, *bandwidth});
        }
    }
    return matches;
}

}  // namespace zr

// Which pagers a heard page would alert: a switched-on call whose tones both lie within the unit's
// decoder bandwidth of the heard ones (a group call's one tone, for a group page), and which nearly
// would: the tones miss the bandwidth, but by no more than twice its width again.
#pragma once

#include <string>
#include <vector>

#include "page_decoder.h"
#include "pager_image.h"

namespace zr {

struct NamedImage {
    std::string name;
    PagerImage image;
};

struct PageMatch {
    std::string unit;
    std::string call;               // "call 2", "group 1"
    bool alerts = false;
    double offsetPercent = 0;       // the farther of the heard tones from the programmed ones
    double bandwidthPercent = 0;
    double MissedByPercent() const { return alerts ? 0.0 : offsetPercent - bandwidthPercent; }
};

// The units' calls the page alerts or nearly alerts, in the units' order.
std::vector<PageMatch> MatchPage(const HeardPage& page, const std::vector<NamedImage>& units);

}  // namespace zr

// The fleet's tone plan as the pagers decode it. A pager takes a heard tone for one of its own when
// it lies within the pager's decoder bandwidth (image offset 49) of it, so unit B answers unit A's
// page when A's tone 1 and tone 2 both fall within B's bandwidth of tone 1 and tone 2 of a call that
// B has switched on, and B's group call sounds when a tone of A's call falls within B's bandwidth of
// a group tone B has switched on. Equal tones are the nearest case of the same rule.
//
// Problems are grouped: a call shared by many units is one problem naming them all, and the check
// looks only at tones near one another (sorted), so it grows with the fleet, not with its square.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "pager_image.h"
#include "tone_entry.h"

namespace zr {

struct UnitImage;

// Whether the call (tone 1 and tone 2 share the call's switch) or group call of `field` is on.
bool ToneSwitchedOn(const PagerImage& image, ToneField field);
// The tone of `field` in tenths of a hertz.
std::uint16_t ToneTenths(const PagerImage& image, ToneField field);

// One switched-on tone of one unit of the fleet.
struct PlanTone {
    std::size_t unit = 0;  // index into the fleet's units
    ToneField field;
    bool operator==(const PlanTone&) const = default;
};

// A problem of the fleet's tone plan, with the units it concerns (each once, in roster order) and
// the tones it is about. `text` names every unit; `brief` the first few of each list and how many
// more, for a line beside one unit.
struct PlanProblem {
    std::vector<std::string> units;
    std::string text;
    std::string brief;
    std::vector<PlanTone> tones;
    bool operator==(const PlanProblem&) const = default;
};

// Units answering one another's individual calls (the same call, or calls within the answering
// unit's decoder bandwidth), calls whose tones sound a group call switched on in the fleet, and,
// within one unit, two equal tones in one call or two tones of its switched-on calls closer than
// the spacing rule allows.
std::vector<PlanProblem> CheckTonePlan(const std::vector<UnitImage>& units);

}  // namespace zr

#include "tone_plan.h"

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <map>
#include <utility>

#include "decoder_bandwidth.h"
#include "encodings.h"
#include "fleet_check.h"
#include "image_offsets.h"
#include "number_text.h"

namespace zr {

bool ToneSwitchedOn(const PagerImage& image, ToneField field) {
    return field.kind == ToneKind::Group ? GetImageBits(image, kGroupEnablesOffset, field.index - 1, 1) == 1
                                         : GetImageBits(image, kCallEnablesOffset, field.index - 1, 1) == 1;
}

std::uint16_t ToneTenths(const PagerImage& image, ToneField field) {
    return GetWord16(image, ToneFrequencyOffset(field));
}

namespace {

using TonePair = std::pair<std::uint16_t, std::uint16_t>;

// The fleet's switched-on tones indexed by tone, so that the tones a decoder takes for one of its
// own are found as a range instead of by comparing every unit with every other.
struct PlanIndex {
    std::map<TonePair, std::vector<PlanTone>> calls;            // tone 1 of each switched-on call
    std::map<std::uint16_t, std::vector<PlanTone>> callTones;   // both tones of each switched-on call
    std::map<std::uint16_t, std::vector<PlanTone>> groups;      // each switched-on group call
    std::vector<double> bandwidths;                              // each unit's, in percent
};

TonePair CallPair(const PagerImage& image, unsigned call) {
    return {ToneTenths(image, {ToneKind::Tone1, call}), ToneTenths(image, {ToneKind::Tone2, call})};
}

PlanIndex IndexPlan(const std::vector<UnitImage>& units) {
    PlanIndex index;
    for (std::size_t u = 0; u < units.size(); ++u) {
        const PagerImage& image = units[u].image;
        // A byte that selects no bandwidth leaves the decoder taking only its tones themselves.
        index.bandwidths.push_back(DecoderBandwidthPercent(image).value_or(0.0));
        for (unsigned c = 1; c <= kCalls; ++c) {
            if (!ToneSwitchedOn(image, {ToneKind::Tone1, c})) continue;
            index.calls[CallPair(image, c)].push_back({u, {ToneKind::Tone1, c}});
            for (const ToneKind kind : {ToneKind::Tone1, ToneKind::Tone2})
                index.callTones[ToneTenths(image, {kind, c})].push_back({u, {kind, c}});
        }
        for (unsigned g = 1; g <= kGroupCalls; ++g)
            if (ToneSwitchedOn(image, {ToneKind::Group, g}))
                index.groups[ToneTenths(image, {ToneKind::Group, g})].push_back({u, {ToneKind::Group, g}});
    }
    return index;
}

// The roster's own name for a tone: its column key.
std::string SlotKey(ToneField field) {
    switch (field.kind) {
    case ToneKind::Tone1: return "call" + std::to_string(field.index) + ".tone1";
    case ToneKind::Tone2: return "call" + std::to_string(field.index) + ".tone2";
    case ToneKind::Group: return "group" + std::to_string(field.index) + ".tone";
    }
    return {};
}

std::string Hertz(std::uint16_t tenths) { return ToneText(tenths) + " Hz"; }
std::string PairText(TonePair pair) { return ToneText(pair.first) + "/" + ToneText(pair.second) + " Hz"; }

// How many names a list holds: all of them, or a few and how many more.
constexpr std::size_t kAllNames = SIZE_MAX;
constexpr std::size_t kBriefNames = 3;

// "A", "A and B", "A, B and C"; a list of `count` of which only the first are named, "A, B, C and 9
// more".
std::string JoinAnd(const std::vector<std::string>& named, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < named.size(); ++i)
        text += (i == 0 ? "" : i + 1 == count ? " and " : ", ") + named[i];
    if (named.size() < count) text += " and " + std::to_string(count - named.size()) + " more";
    return text;
}

// "A call1", "A call1.tone2", "A group call 1".
std::string ToneName(const std::vector<UnitImage>& units, const PlanTone& tone, bool wholeCall) {
    const std::string& unit = units[tone.unit].name;
    if (tone.field.kind == ToneKind::Group) return unit + " group call " + std::to_string(tone.field.index);
    return wholeCall ? unit + " call" + std::to_string(tone.field.index) : unit + " " + SlotKey(tone.field);
}

std::string Names(const std::vector<UnitImage>& units, const std::vector<PlanTone>& tones, bool wholeCalls,
                  std::size_t most) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < tones.size() && i < most; ++i) names.push_back(ToneName(units, tones[i], wholeCalls));
    return JoinAnd(names, tones.size());
}

std::vector<std::size_t> UnitsOf(const std::vector<PlanTone>& tones) {
    std::vector<std::size_t> indices;
    for (const auto& tone : tones) indices.push_back(tone.unit);
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    return indices;
}

std::vector<std::string> UnitNames(const std::vector<UnitImage>& units, const std::vector<PlanTone>& tones) {
    std::vector<std::string> names;
    for (const std::size_t u : UnitsOf(tones)) names.push_back(units[u].name);
    return names;
}

// The tones of `tones` that belong to none of the units of `others`: a unit's own tones near one
// another are the spacing rule's concern.
std::vector<PlanTone> OfOtherUnits(const std::vector<PlanTone>& tones, const std::vector<PlanTone>& others) {
    const auto excluded = UnitsOf(others);
    std::vector<PlanTone> kept;
    for (const auto& tone : tones)
        if (!std::binary_search(excluded.begin(), excluded.end(), tone.unit)) kept.push_back(tone);
    return kept;
}

// Both tones of each call.
std::vector<PlanTone> WholeCalls(const std::vector<PlanTone>& calls) {
    std::vector<PlanTone> tones;
    for (const auto& call : calls) {
        tones.push_back({call.unit, {ToneKind::Tone1, call.field.index}});
        tones.push_back({call.unit, {ToneKind::Tone2, call.field.index}});
    }
    return tones;
}

// The problem told in full and in brief, from one sentence whose lists of names say `most` names.
template <class Sentence>
PlanProblem Problem(const std::vector<UnitImage>& units, const Sentence& say, std::vector<PlanTone> tones) {
    return {UnitNames(units, tones), say(kAllNames), say(kBriefNames), std::move(tones)};
}

// The heard tones a decoder of `percent` takes for `programmed`, a little wide: Decodes() decides.
std::pair<std::uint16_t, std::uint16_t> DecodedRange(std::uint16_t programmed, double percent) {
    const double span = programmed * percent / 100.0;
    return {static_cast<std::uint16_t>(std::max(0.0, std::floor(programmed - span) - 1)),
            static_cast<std::uint16_t>(std::min(65535.0, std::ceil(programmed + span) + 1))};
}

bool Decodes(std::uint16_t heard, std::uint16_t programmed, double percent) {
    return ToneWithinBandwidth(heard / 10.0, programmed / 10.0, percent);
}

// "562.3 Hz and 562.5 Hz are 0.04 % apart".
std::string Apart(std::uint16_t heard, std::uint16_t programmed) {
    return Hertz(heard) + " and " + Hertz(programmed) + " are " +
           FormatFixed(ToneOffsetPercent(heard / 10.0, programmed / 10.0), 2) + " % apart";
}

// "Engine 2 decodes ± 1.5 %".
std::string Decoding(const std::vector<std::string>& units, double percent, std::size_t most) {
    const auto shown = static_cast<std::ptrdiff_t>(std::min(most, units.size()));
    return JoinAnd({units.begin(), units.begin() + shown}, units.size()) +
           (units.size() == 1 ? " decodes \u00b1 " : " decode \u00b1 ") + FormatFixed(percent, 1) + " %";
}

// The members of `tones` split by their unit's bandwidth, each share in roster order.
std::map<double, std::vector<PlanTone>> ByBandwidth(const PlanIndex& index, const std::vector<PlanTone>& tones) {
    std::map<double, std::vector<PlanTone>> shares;
    for (const auto& tone : tones) shares[index.bandwidths[tone.unit]].push_back(tone);
    return shares;
}

void CheckSameIndividualCalls(const std::vector<UnitImage>& units, const PlanIndex& index,
                              std::vector<PlanProblem>& problems) {
    for (const auto& [pair, calls] : index.calls) {
        if (calls.front().unit == calls.back().unit) continue;  // one unit's calls only
        const auto say = [&](std::size_t most) {
            return Names(units, calls, true, most) + " are the same individual call " + PairText(pair);
        };
        problems.push_back(Problem(units, say, WholeCalls(calls)));
    }
}

void ReportNearCall(const std::vector<UnitImage>& units, TonePair programmed, const std::vector<PlanTone>& answering,
                    double percent, TonePair heard, const std::vector<PlanTone>& paging,
                    std::vector<PlanProblem>& problems) {
    const auto pagers = OfOtherUnits(paging, answering);
    if (pagers.empty()) return;
    std::vector<std::string> apart;
    if (heard.first != programmed.first) apart.push_back(Apart(heard.first, programmed.first));
    if (heard.second != programmed.second) apart.push_back(Apart(heard.second, programmed.second));
    const auto say = [&](std::size_t most) {
        std::string text = Names(units, answering, true, most) + " " + PairText(programmed) +
                           (answering.size() == 1 ? " answers" : " answer") + " the page of " +
                           Names(units, pagers, true, most) + " " + PairText(heard) + ": ";
        for (std::size_t i = 0; i < apart.size(); ++i) text += (i ? ", " : "") + apart[i];
        return text + "; " + Decoding(UnitNames(units, answering), percent, most);
    };
    auto tones = WholeCalls(answering);
    for (const auto& tone : WholeCalls(pagers)) tones.push_back(tone);
    problems.push_back(Problem(units, say, std::move(tones)));
}

// Calls of different tones that a decoder still takes for one of its own calls. Pairs are sorted by
// tone 1, then tone 2: the pairs a decoder takes are those in its tone 1 range and, for each tone 1
// there, in its tone 2 range, each found by a search.
void CheckNearIndividualCalls(const std::vector<UnitImage>& units, const PlanIndex& index,
                              std::vector<PlanProblem>& problems) {
    for (const auto& [programmed, calls] : index.calls)
        for (const auto& [percent, answering] : ByBandwidth(index, calls)) {
            const auto first = DecodedRange(programmed.first, percent);
            const auto second = DecodedRange(programmed.second, percent);
            auto at = index.calls.lower_bound({first.first, second.first});
            while (at != index.calls.end() && at->first.first <= first.second) {
                const TonePair heard = at->first;
                if (heard.second < second.first) {
                    at = index.calls.lower_bound({heard.first, second.first});
                } else if (heard.second > second.second) {
                    if (heard.first == 65535) break;
                    at = index.calls.lower_bound({static_cast<std::uint16_t>(heard.first + 1), second.first});
                } else {
                    if (heard != programmed && Decodes(heard.first, programmed.first, percent) &&
                        Decodes(heard.second, programmed.second, percent))
                        ReportNearCall(units, programmed, answering, percent, heard, at->second, problems);
                    ++at;
                }
            }
        }
}

void CheckCallsOnGroupTones(const std::vector<UnitImage>& units, const PlanIndex& index,
                            std::vector<PlanProblem>& problems) {
    for (const auto& [tone, groups] : index.groups) {
        const auto same = index.callTones.find(tone);
        if (same == index.callTones.end()) continue;
        const auto& calls = same->second;
        const auto say = [&](std::size_t most) {
            return Names(units, calls, false, most) + " " + Hertz(tone) + (calls.size() == 1 ? " is" : " are") +
                   " the tone of " + Names(units, groups, false, most);
        };
        std::vector<PlanTone> tones = calls;
        tones.insert(tones.end(), groups.begin(), groups.end());
        problems.push_back(Problem(units, say, std::move(tones)));
    }
    for (const auto& [programmed, groups] : index.groups)
        for (const auto& [percent, sounding] : ByBandwidth(index, groups)) {
            const auto range = DecodedRange(programmed, percent);
            for (auto at = index.callTones.lower_bound(range.first); at != index.callTones.end() && at->first <= range.second;
                 ++at) {
                const std::uint16_t heard = at->first;
                if (heard == programmed || !Decodes(heard, programmed, percent)) continue;
                auto tones = OfOtherUnits(at->second, sounding);
                if (tones.empty()) continue;
                const auto say = [&, paging = tones](std::size_t most) {
                    return Names(units, paging, false, most) + " " + Hertz(heard) +
                           (paging.size() == 1 ? " sounds " : " sound ") + Names(units, sounding, false, most) + " " +
                           Hertz(programmed) + ": " + Apart(heard, programmed) + "; " +
                           Decoding(UnitNames(units, sounding), percent, most);
                };
                tones.insert(tones.end(), sounding.begin(), sounding.end());
                problems.push_back(Problem(units, say, std::move(tones)));
            }
        }
}

void CheckSpacingWithinUnits(const std::vector<UnitImage>& units, std::vector<PlanProblem>& problems) {
    for (std::size_t u = 0; u < units.size(); ++u) {
        const UnitImage& unit = units[u];
        for (unsigned c = 1; c <= kCalls; ++c) {
            const TonePair pair = CallPair(unit.image, c);
            if (!ToneSwitchedOn(unit.image, {ToneKind::Tone1, c}) || pair.first != pair.second) continue;
            const auto say = [&](std::size_t) {
                return unit.name + " call" + std::to_string(c) + " has two equal tones " + Hertz(pair.first);
            };
            problems.push_back(Problem(units, say, WholeCalls({{u, {ToneKind::Tone1, c}}})));
        }
        for (std::size_t i = 1; i <= kToneSlots; ++i)
            for (std::size_t j = i + 1; j <= kToneSlots; ++j) {
                const ToneField first = ToneFieldOfSlot(i), second = ToneFieldOfSlot(j);
                if (!ToneSwitchedOn(unit.image, first) || !ToneSwitchedOn(unit.image, second)) continue;
                const std::uint16_t a = ToneTenths(unit.image, first), b = ToneTenths(unit.image, second);
                if (!ToneTooNear(a, b, unit.spacingTenths) && !ToneTooNear(b, a, unit.spacingTenths)) continue;
                const auto say = [&](std::size_t) {
                    return unit.name + " " + SlotKey(first) + " " + Hertz(a) + " and " + SlotKey(second) + " " +
                           Hertz(b) + " are closer than " + FormatFixed(unit.spacingTenths * 0.1, 1) + " %";
                };
                problems.push_back(Problem(units, say, {{u, first}, {u, second}}));
            }
    }
}

}  // namespace

std::vector<PlanProblem> CheckTonePlan(const std::vector<UnitImage>& units) {
    const PlanIndex index = IndexPlan(units);
    std::vector<PlanProblem> problems;
    CheckSameIndividualCalls(units, index, problems);
    CheckNearIndividualCalls(units, index, problems);
    CheckCallsOnGroupTones(units, index, problems);
    CheckSpacingWithinUnits(units, problems);
    return problems;
}

}  // namespace zr

#include "fleet_check.h"

#include <set>
#include <tuple>
#include <utility>

#include "encodings.h"
#include "image_offsets.h"
#include "keyed_edits.h"
#include "number_text.h"
#include "printable_text.h"
#include "table_files.h"

namespace zr {

namespace {

bool SlotOn(const PagerImage& image, ToneField field) {
    return field.kind == ToneKind::Group ? GetImageBits(image, kGroupEnablesOffset, field.index - 1, 1) == 1
                                         : GetImageBits(image, kCallEnablesOffset, field.index - 1, 1) == 1;
}

std::uint16_t ToneOf(const PagerImage& image, ToneField field) {
    return GetWord16(image, ToneFrequencyOffset(field));
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

using TonePair = std::pair<std::uint16_t, std::uint16_t>;

TonePair CallPair(const PagerImage& image, unsigned call) {
    return {ToneOf(image, {ToneKind::Tone1, call}), ToneOf(image, {ToneKind::Tone2, call})};
}

void CheckSameIndividualCalls(const std::vector<UnitImage>& units, std::vector<PlanProblem>& problems) {
    for (std::size_t a = 0; a < units.size(); ++a)
        for (std::size_t b = a + 1; b < units.size(); ++b)
            for (unsigned ca = 1; ca <= kCalls; ++ca)
                for (unsigned cb = 1; cb <= kCalls; ++cb) {
                    if (!SlotOn(units[a].image, {ToneKind::Tone1, ca}) || !SlotOn(units[b].image, {ToneKind::Tone1, cb}))
                        continue;
                    const TonePair pair = CallPair(units[a].image, ca);
                    if (pair != CallPair(units[b].image, cb)) continue;
                    problems.push_back({{units[a].name, units[b].name},
                                        units[a].name + " call" + std::to_string(ca) + " and " + units[b].name +
                                            " call" + std::to_string(cb) + " are the same individual call " +
                                            ToneText(pair.first) + "/" + ToneText(pair.second) + " Hz"});
                }
}

void CheckCallsOnGroupTones(const std::vector<UnitImage>& units, std::vector<PlanProblem>& problems) {
    std::set<std::pair<unsigned, std::uint16_t>> groupTones;  // group call and its tone, switched on anywhere
    for (const auto& unit : units)
        for (unsigned g = 1; g <= kGroupCalls; ++g)
            if (SlotOn(unit.image, {ToneKind::Group, g})) groupTones.emplace(g, ToneOf(unit.image, {ToneKind::Group, g}));
    for (const auto& unit : units)
        for (unsigned c = 1; c <= kCalls; ++c) {
            if (!SlotOn(unit.image, {ToneKind::Tone1, c})) continue;
            for (const ToneField field : {ToneField{ToneKind::Tone1, c}, ToneField{ToneKind::Tone2, c}})
                for (const auto& [group, tone] : groupTones)
                    if (tone == ToneOf(unit.image, field))
                        problems.push_back({{unit.name},
                                            unit.name + " " + SlotKey(field) + " " + Hertz(tone) +
                                                " is the tone of group call " + std::to_string(group)});
        }
}

void CheckSpacingWithinUnits(const std::vector<UnitImage>& units, std::vector<PlanProblem>& problems) {
    for (const auto& unit : units) {
        for (unsigned c = 1; c <= kCalls; ++c) {
            const TonePair pair = CallPair(unit.image, c);
            if (SlotOn(unit.image, {ToneKind::Tone1, c}) && pair.first == pair.second)
                problems.push_back({{unit.name},
                                    unit.name + " call" + std::to_string(c) + " has two equal tones " + Hertz(pair.first)});
        }
        for (std::size_t i = 1; i <= kToneSlots; ++i)
            for (std::size_t j = i + 1; j <= kToneSlots; ++j) {
                const ToneField first = ToneFieldOfSlot(i), second = ToneFieldOfSlot(j);
                if (!SlotOn(unit.image, first) || !SlotOn(unit.image, second)) continue;
                const std::uint16_t a = ToneOf(unit.image, first), b = ToneOf(unit.image, second);
                if (!ToneTooNear(a, b, unit.spacingTenths) && !ToneTooNear(b, a, unit.spacingTenths)) continue;
                problems.push_back({{unit.name},
                                    unit.name + " " + SlotKey(first) + " " + Hertz(a) + " and " + SlotKey(second) +
                                        " " + Hertz(b) + " are closer than " +
                                        FormatFixed(unit.spacingTenths * 0.1, 1) + " %"});
            }
    }
}

}  // namespace

std::variant<OpenedBase, Message> OpenBaseTable(const std::filesystem::path& path) {
    OpenedBase base{StartupEditorSession(), {}};
    const auto result = OpenTableFile(path, base.session.image, base.session.state.settings.squelchLevels);
    if (result.error) return *result.error;
    base.load = base.session.Load();
    return base;
}

UnitImage BuildUnitImage(const EditorSession& base, const Roster& roster, const RosterUnit& unit, ToneEntryMode mode) {
    KeyedEditSession session = StartKeyedEdits(base, mode);
    UnitImage built{unit.name, unit.line, {}, 15, {}};
    for (std::size_t k = 0; k < roster.keys.size(); ++k) {
        const std::string& value = unit.values[k];
        if (value.empty()) continue;
        const KeyedEditResult result = ApplyKeyedEdit(session, roster.keys[k], value);
        CellRefusal refusal{roster.keys[k], EscapeControlBytes(value), unit.line, roster.keyColumns[k], {}, {}};
        if (const auto* bad = std::get_if<BadValue>(&result)) {
            refusal.complaint = EscapeControlBytes(bad->text);
        } else if (const auto& answer = std::get<EditorAnswer>(result); answer.outcome == EditOutcome::Refused) {
            refusal.messages = answer.Messages();
        } else {
            continue;
        }
        built.refusals.push_back(std::move(refusal));
    }
    built.image = session.image;
    built.spacingTenths = session.state.settings.spacingTenths;
    return built;
}

std::vector<UnitImage> BuildUnitImages(const EditorSession& base, const Roster& roster, ToneEntryMode mode) {
    std::vector<UnitImage> units;
    for (const auto& unit : roster.units) units.push_back(BuildUnitImage(base, roster, unit, mode));
    return units;
}

std::vector<PlanProblem> CheckTonePlan(const std::vector<UnitImage>& units) {
    std::vector<PlanProblem> problems;
    CheckSameIndividualCalls(units, problems);
    CheckCallsOnGroupTones(units, problems);
    CheckSpacingWithinUnits(units, problems);
    return problems;
}

bool CheckedFleet::HasRefusedCells() const {
    for (const auto& unit : units)
        if (!unit.refusals.empty()) return true;
    return false;
}

std::variant<CheckedFleet, TableError, Message> CheckFleet(const std::filesystem::path& base,
                                                          const std::filesystem::path& roster, ToneEntryMode mode) {
    const auto units = ReadRoster(roster);
    if (const auto* error = std::get_if<TableError>(&units)) return *error;
    const auto opened = OpenBaseTable(base);
    if (const auto* error = std::get_if<Message>(&opened)) return *error;
    const auto& [session, load] = std::get<OpenedBase>(opened);
    CheckedFleet fleet;
    fleet.baseLoad = load;
    fleet.units = BuildUnitImages(session, std::get<Roster>(units), mode);
    fleet.problems = CheckTonePlan(fleet.units);
    return fleet;
}

std::string CallTonesText(const PagerImage& image, unsigned call) {
    if (!SlotOn(image, {ToneKind::Tone1, call})) return "off";
    const TonePair pair = CallPair(image, call);
    return ToneText(pair.first) + "/" + ToneText(pair.second);
}

std::string GroupToneText(const PagerImage& image, unsigned group) {
    if (!SlotOn(image, {ToneKind::Group, group})) return "off";
    return ToneText(ToneOf(image, {ToneKind::Group, group}));
}

}  // namespace zr

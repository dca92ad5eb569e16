#include "fleet_check.h"

#include <utility>

#include "encodings.h"
#include "keyed_edits.h"
#include "number_text.h"
#include "printable_text.h"
#include "table_files.h"

namespace zr {

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
    if (!ToneSwitchedOn(image, {ToneKind::Tone1, call})) return "off";
    return ToneText(ToneTenths(image, {ToneKind::Tone1, call})) + "/" + ToneText(ToneTenths(image, {ToneKind::Tone2, call}));
}

std::string GroupToneText(const PagerImage& image, unsigned group) {
    if (!ToneSwitchedOn(image, {ToneKind::Group, group})) return "off";
    return ToneText(ToneTenths(image, {ToneKind::Group, group}));
}

}  // namespace zr

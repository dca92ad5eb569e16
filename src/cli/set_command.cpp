// zr250pro-cli set: edits a table file field by field, each entry taken exactly as the window's
// field takes it, with the same refusals and the same bytes that follow from it.
#include <CLI/CLI.hpp>

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "call_switches.h"
#include "cli_common.h"
#include "editor_state.h"
#include "field_lists.h"
#include "frequency_rules.h"
#include "numeric_fields.h"
#include "option_switches.h"
#include "squelch_levels.h"
#include "table_files.h"
#include "tone_entry.h"

namespace zr::cli {

namespace {

// The one image with the editors as the load of Open leaves them.
struct EditSession {
    PagerImage image;
    EditorState state;
    CallPage page;
    FrequencyControls frequency;
};

// A value the field cannot take at all (no such item, not true/false): the command line's own
// complaint, not a window message.
struct BadValue {
    std::string text;
};

template <typename Items>
std::optional<std::size_t> ItemIndex(const Items& items, const std::string& value) {
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i] == value) return i;
    return std::nullopt;
}

std::optional<bool> SwitchValue(const std::string& value) {
    if (value == "true") return true;
    if (value == "false") return false;
    return std::nullopt;
}

// "call2.tone1", "group1.tone" and the like: the field and what follows the dot.
struct CallKey {
    std::string key;
    bool group = false;
    unsigned number = 0;
    std::string part;
};

std::optional<CallKey> ParseCallKey(const std::string& key) {
    const auto dot = key.find('.');
    if (dot == std::string::npos || dot < 5) return std::nullopt;
    const std::string head = key.substr(0, dot - 1);
    const char digit = key[dot - 1];
    if ((head != "call" && head != "group") || digit < '1' || digit > '9') return std::nullopt;
    CallKey parsed{key, head == "group", static_cast<unsigned>(digit - '0'), key.substr(dot + 1)};
    if (parsed.number > (parsed.group ? kGroupCalls : kCalls)) return std::nullopt;
    return parsed;
}

std::optional<ToneField> ToneFieldOfKey(const CallKey& key) {
    if (key.group) return key.part == "tone" ? std::optional<ToneField>({ToneKind::Group, key.number}) : std::nullopt;
    if (key.part == "tone1") return ToneField{ToneKind::Tone1, key.number};
    if (key.part == "tone2") return ToneField{ToneKind::Tone2, key.number};
    return std::nullopt;
}

using EditResult = std::variant<EditorAnswer, BadValue>;

EditResult NotAnItem(const std::string& key, const std::string& value) {
    return BadValue{key + ": \"" + value + "\" is not an item of the list"};
}
EditResult NotASwitch(const std::string& key) { return BadValue{key + ": a switch is set to true or false"}; }

EditResult EditTone(EditSession& s, ToneField field, const std::string& value) {
    // Entering the field empties it; the value is then typed and the field left.
    EditorAnswer answer = ToneFieldEnter(s.state.tones, s.page, field);
    s.page.Text(field) = value;
    answer.Append(ToneExit(s.image, s.state.tones, s.state.settings.spacingTenths, s.page, field));
    return answer;
}

// Nothing for the parts the window does not edit (codes, alert type and time).
std::optional<EditResult> EditCall(EditSession& s, const CallKey& key, const std::string& value) {
    if (const auto field = ToneFieldOfKey(key)) return EditTone(s, *field, value);
    if (key.part != "on" && key.part != "priority") return std::nullopt;
    const auto on = SwitchValue(value);
    if (!on) return NotASwitch(key.key);
    if (key.part == "on") {
        const bool current = key.group ? s.page.groupOn[key.number - 1] : s.page.callOn[key.number - 1];
        if (*on == current) return EditorAnswer{};
        const std::uint8_t spacing = s.state.settings.spacingTenths;
        return key.group ? GroupCallSwitchClick(s.image, s.state.tones, spacing, s.page, key.number, *on)
                         : CallSwitchClick(s.image, s.state.tones, spacing, s.page, key.number, *on);
    }
    const std::size_t alert = key.group ? 112 + 2 * (key.number - 1) : 96 + 2 * (key.number - 1);
    if ((GetImageBits(s.image, alert, 7, 1) == 1) == *on) return EditorAnswer{};
    return key.group ? GroupPriorityClick(s.image, key.number, *on) : PriorityClick(s.image, key.number, *on);
}

EditResult EditFrequencyBox(EditSession& s, const std::string& key, const std::string& value) {
    EditorAnswer answer;
    if (key == "frequency") {
        if (!s.frequency.spacingItem)
            return BadValue{"frequency: spacing code " + std::to_string(s.image[10]) +
                            " selects no channel spacing; set spacing first"};
        s.frequency.frequencyText = value;
        answer = FrequencyExit(s.image, s.state.settings, s.frequency);
    } else if (key == "band") {
        const auto item = ItemIndex(kBandItems, value);
        if (!item) return NotAnItem(key, value);
        answer = BandClick(s.image, s.state.settings, *item);
        s.frequency.bandItem = *item;
        s.frequency.spacingItem = answer.FinalSelection("cboCSpace").value_or(s.frequency.spacingItem);
    } else {
        const auto item = ItemIndex(SpacingItems(s.frequency.bandItem), value);
        if (!item) return NotAnItem(key, value);
        s.frequency.spacingItem = *item;
        answer = ChannelSpacingClick(s.image, s.state.settings, s.frequency);
    }
    s.frequency.frequencyText = answer.FinalText("edtFreq").value_or(s.frequency.frequencyText);
    return answer;
}

// The check boxes by key; a box set to the state it already shows is not clicked.
struct SwitchKey {
    const char* key;
    std::size_t offset;
    unsigned bit;
    EditorAnswer (*click)(PagerImage&, bool);
};

template <OptionSwitch box>
EditorAnswer ClickOption(PagerImage& image, bool on) {
    return OptionSwitchClick(image, box, on);
}

constexpr SwitchKey kSwitchKeys[] = {
    {"save_voice", 69, 0, ClickOption<OptionSwitch::SaveVoice>},
    {"audio_lock_on", 69, 2, ClickOption<OptionSwitch::AudioLock>},
    {"fix_alert", 69, 3, ClickOption<OptionSwitch::FixAlert>},
    {"disable_power_off", 69, 4, ClickOption<OptionSwitch::DisablePowerOff>},
    {"disable_vibration", 69, 5, ClickOption<OptionSwitch::DisableVibration>},
    {"power_save_disable", 69, 6, ClickOption<OptionSwitch::PowerSaveDisable>},
    {"privacy", 69, 7, ClickOption<OptionSwitch::Privacy>},
    {"full_time_auto_monitor", 81, 2, FullTimeAutoMonitorClick},
    {"priority_max_volume", 81, 3, PriorityMaxVolumeClick},
    {"squelch_record", 81, 5, SquelchRecordClick},
    {"narrowband", 128, 0, NarrowbandClick},
};

// The narrowband box shows any byte but 0 as on.
bool SwitchShowsOn(const PagerImage& image, const SwitchKey& entry) {
    if (entry.click == NarrowbandClick) return image[entry.offset] != 0;
    return GetImageBits(image, entry.offset, entry.bit, 1) == 1;
}

std::optional<EditResult> EditSwitch(EditSession& s, const std::string& key, const std::string& value) {
    for (const auto& entry : kSwitchKeys) {
        if (key != entry.key) continue;
        const auto on = SwitchValue(value);
        if (!on) return NotASwitch(key);
        if (SwitchShowsOn(s.image, entry) == *on) return EditorAnswer{};
        return entry.click(s.image, *on);
    }
    return std::nullopt;
}

// The lists by key: their items and what picking one does.
struct ListKey {
    const char* key;
    std::span<const std::string_view> items;
    EditorAnswer (*pick)(EditSession&, std::size_t);
};

const ListKey kListKeys[] = {
    {"push_to_listen", kPushToListenItems, [](EditSession& s, std::size_t i) { return PushToListenClick(s.image, i); }},
    {"reset_control", kResetControlNames,
     [](EditSession& s, std::size_t i) { return ResetControlClick(s.image, i); }},
    {"reminder", kReminderItems, [](EditSession& s, std::size_t i) { return ReminderClick(s.image, i); }},
    {"record_sections", kRecordSectionItems,
     [](EditSession& s, std::size_t i) { return RecordSectionsClick(s.image, i); }},
    {"low_battery_reminder", kLowBatteryReminderItems,
     [](EditSession& s, std::size_t i) { return LowBatteryReminderClick(s.image, i); }},
    {"low_battery", kLowBatteryItems, [](EditSession& s, std::size_t i) { return LowBatteryClick(s.image, i); }},
    {"decoder_bandwidth", kDecoderBandwidthItems,
     [](EditSession& s, std::size_t i) { return DecoderBandwidthClick(s.image, s.state.settings, i); }},
    {"squelch_level", kSquelchLevelItems,
     [](EditSession& s, std::size_t i) { return SquelchLevelClick(s.image, s.state.settings.squelchLevels, i); }},
};

std::optional<EditResult> EditList(EditSession& s, const std::string& key, const std::string& value) {
    for (const auto& entry : kListKeys) {
        if (key != entry.key) continue;
        const auto item = ItemIndex(entry.items, value);
        if (!item) return NotAnItem(key, value);
        // With Push To Listen on, the reset control list offers only its first four modes.
        if (key == "reset_control" && *item >= OfferedResetControlItems(s.image))
            return BadValue{key + ": \"" + value + "\" is not offered while Push To Listen is on"};
        return entry.pick(s, *item);
    }
    return std::nullopt;
}

EditResult ApplyEdit(EditSession& s, const std::string& key, const std::string& value) {
    if (key == "frequency" || key == "band" || key == "spacing") return EditFrequencyBox(s, key, value);
    if (const auto call = ParseCallKey(key))
        if (auto result = EditCall(s, *call, value)) return std::move(*result);
    if (const auto* field = FindNumericField(key)) {
        EditorAnswer answer;  // entering the field empties it
        answer.Text(std::string(field->control), "");
        answer.Append(NumericFieldExit(s.image, *field, value));
        return answer;
    }
    if (auto result = EditSwitch(s, key, value)) return std::move(*result);
    if (auto result = EditList(s, key, value)) return std::move(*result);
    if (FindImageField(key)) return BadValue{key + " is not edited in the window"};
    return BadValue{"unknown key " + key};
}

struct SetOptions {
    std::string file;
    std::string output;
    bool userMode = false;
    std::vector<std::string> edits;
};

int RunSet(const SetOptions& options) {
    // Standard input has no file to save back to: the edited table goes to standard output.
    const std::string output =
        options.file == kStandardStream && options.output.empty() ? std::string(kStandardStream) : options.output;
    ReserveStandardOutputFor(output);
    auto opened = OpenAsWindow(options.file);
    if (!opened) return kExitFailure;
    EditSession session{opened->image, opened->state, CallPageOf(opened->controls),
                        FrequencyControlsOf(opened->controls)};
    // The load ran in Standard Mode, as the window starts; the edits take the mode asked for.
    session.state.tones.mode = options.userMode ? ToneEntryMode::User : ToneEntryMode::Standard;
    for (const auto& edit : options.edits) {
        const auto equals = edit.find('=');
        if (equals == std::string::npos) {
            PrintDiagnostic("\"" + edit + "\" is not KEY=VALUE");
            return kExitUsage;
        }
        const std::string key = edit.substr(0, equals);
        const EditResult result = ApplyEdit(session, key, edit.substr(equals + 1));
        if (const auto* bad = std::get_if<BadValue>(&result)) {
            PrintDiagnostic(bad->text);
            return kExitUsage;
        }
        const auto& answer = std::get<EditorAnswer>(result);
        if (answer.outcome == EditOutcome::Refused) {
            PrintMessages(answer);
            PrintDiagnostic(edit + " refused; nothing written");
            return kExitFailure;
        }
    }
    if (!output.empty()) return WriteImageFile(output, session.image) ? kExitSuccess : kExitFailure;
    if (const auto failure = SaveTableFile(options.file, session.image)) {
        PrintMessage(failure->message);
        PrintDiagnostic("cannot write " + options.file + ": " + failure->reason);
        return kExitFailure;
    }
    return kExitSuccess;
}

}  // namespace

void AddSetCommand(CLI::App& app, int& status) {
    auto* command = app.add_subcommand(
        "set", "Edit fields of a table file as the window takes them: KEY=VALUE with the keys of show");
    auto options = std::make_shared<SetOptions>();
    command->add_option("FILE", options->file, "Table file (- for standard input)")->required();
    command->add_option("EDITS", options->edits, "KEY=VALUE, applied in order")->required();
    command->add_option("-o,--output", options->output,
                        "Table file to write (- for standard output); without it FILE is saved, its old content "
                        "kept as the .BAK backup");
    command->add_flag("--user-mode", options->userMode, "Take tones in User Mode instead of Standard Mode");
    command->callback([&status, options] { status = RunSet(*options); });
}

}  // namespace zr::cli

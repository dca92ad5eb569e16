// zr250pro-cli set: edits a table file field by field, each entry taken exactly as the window's
// field takes it, with the same refusals and the same bytes that follow from it.
#include <CLI/CLI.hpp>

#include <memory>
#include <optional>
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

// The one image with the editors as a load leaves them, without the load's normalisation.
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

template <std::size_t N>
std::optional<std::size_t> ItemIndex(const std::array<std::string_view, N>& items, const std::string& value) {
    for (std::size_t i = 0; i < N; ++i)
        if (items[i] == value) return i;
    return std::nullopt;
}

std::optional<std::size_t> ItemIndex(const std::vector<std::string>& items, const std::string& value) {
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
    CallKey parsed{head == "group", static_cast<unsigned>(digit - '0'), key.substr(dot + 1)};
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

EditResult EditCall(EditSession& s, const CallKey& key, const std::string& value) {
    if (const auto field = ToneFieldOfKey(key)) return EditTone(s, *field, value);
    if (key.part != "on" && key.part != "priority") return BadValue{"call keys: on, priority, tone1, tone2, tone"};
    const auto on = SwitchValue(value);
    if (!on) return NotASwitch(key.part);
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

struct SwitchKey {
    const char* key;
    EditorAnswer (*click)(PagerImage&, bool);
    std::size_t offset;
    unsigned bit;
};

EditorAnswer SaveVoiceClick(PagerImage& image, bool on) { return OptionSwitchClick(image, OptionSwitch::SaveVoice, on); }
EditorAnswer AudioLockClick(PagerImage& image, bool on) { return OptionSwitchClick(image, OptionSwitch::AudioLock, on); }
EditorAnswer FixAlertClick(PagerImage& image, bool on) { return OptionSwitchClick(image, OptionSwitch::FixAlert, on); }
EditorAnswer PowerOffClick(PagerImage& image, bool on) {
    return OptionSwitchClick(image, OptionSwitch::DisablePowerOff, on);
}
EditorAnswer VibrationClick(PagerImage& image, bool on) {
    return OptionSwitchClick(image, OptionSwitch::DisableVibration, on);
}
EditorAnswer PowerSaveClick(PagerImage& image, bool on) {
    return OptionSwitchClick(image, OptionSwitch::PowerSaveDisable, on);
}
EditorAnswer PrivacyClick(PagerImage& image, bool on) { return OptionSwitchClick(image, OptionSwitch::Privacy, on); }

constexpr SwitchKey kSwitchKeys[] = {
    {"save_voice", SaveVoiceClick, 69, 0},
    {"audio_lock_on", AudioLockClick, 69, 2},
    {"fix_alert", FixAlertClick, 69, 3},
    {"disable_power_off", PowerOffClick, 69, 4},
    {"disable_vibration", VibrationClick, 69, 5},
    {"power_save_disable", PowerSaveClick, 69, 6},
    {"privacy", PrivacyClick, 69, 7},
    {"full_time_auto_monitor", FullTimeAutoMonitorClick, 81, 2},
    {"priority_max_volume", PriorityMaxVolumeClick, 81, 3},
    {"squelch_record", SquelchRecordClick, 81, 5},
};

std::optional<EditResult> EditSwitch(EditSession& s, const std::string& key, const std::string& value) {
    const bool narrowband = key == "narrowband";
    const SwitchKey* found = nullptr;
    for (const auto& entry : kSwitchKeys)
        if (key == entry.key) found = &entry;
    if (!found && !narrowband) return std::nullopt;
    const auto on = SwitchValue(value);
    if (!on) return NotASwitch(key);
    // A box set to the state it shows is not clicked.
    const bool current = narrowband ? s.image[128] != 0 : GetImageBits(s.image, found->offset, found->bit, 1) == 1;
    if (*on == current) return EditorAnswer{};
    return narrowband ? NarrowbandClick(s.image, *on) : found->click(s.image, *on);
}

std::optional<EditResult> EditList(EditSession& s, const std::string& key, const std::string& value) {
    std::optional<std::size_t> item;
    EditorAnswer (*pick)(PagerImage&, std::size_t) = nullptr;
    if (key == "push_to_listen") {
        item = ItemIndex(kPushToListenItems, value);
        pick = PushToListenClick;
    } else if (key == "reminder") {
        item = ItemIndex(kReminderItems, value);
        pick = ReminderClick;
    } else if (key == "record_sections") {
        item = ItemIndex(kRecordSectionItems, value);
        pick = RecordSectionsClick;
    } else if (key == "low_battery_reminder") {
        item = ItemIndex(kLowBatteryReminderItems, value);
        pick = LowBatteryReminderClick;
    } else if (key == "low_battery") {
        item = ItemIndex(kLowBatteryItems, value);
        pick = LowBatteryClick;
    } else if (key == "reset_control") {
        item = ItemIndex(kResetControlNames, value);
        // With Push To Listen on the list offers only the first four modes.
        if (item && *item >= OfferedResetControlItems(s.image)) return BadValue{"reset_control: \"" + value +
                                                                                "\" is not offered while Push To "
                                                                                "Listen is on"};
        if (!item) return NotAnItem(key, value);
        return ResetControlClick(s.image, item);
    } else if (key == "decoder_bandwidth") {
        item = ItemIndex(kDecoderBandwidthItems, value);
        if (!item) return NotAnItem(key, value);
        return DecoderBandwidthClick(s.image, s.state.settings, *item);
    } else if (key == "squelch_level") {
        item = ItemIndex(kSquelchLevelItems, value);
        if (!item) return NotAnItem(key, value);
        return SquelchLevelClick(s.image, s.state.settings.squelchLevels, *item);
    } else {
        return std::nullopt;
    }
    if (!item) return NotAnItem(key, value);
    return pick(s.image, *item);
}

EditResult ApplyEdit(EditSession& s, const std::string& key, const std::string& value) {
    if (key == "frequency" || key == "band" || key == "spacing") return EditFrequencyBox(s, key, value);
    if (const auto call = ParseCallKey(key)) return EditCall(s, *call, value);
    if (const auto* field = FindNumericField(key)) {
        EditorAnswer answer;  // entering the field empties it
        answer.Text(std::string(field->control), "");
        answer.Append(NumericFieldExit(s.image, *field, value));
        return answer;
    }
    if (auto result = EditSwitch(s, key, value)) return std::move(*result);
    if (auto result = EditList(s, key, value)) return std::move(*result);
    for (const auto& field : ImageFields())
        if (field.key == key) return BadValue{key + " is not edited in the window; it follows from other fields"};
    return BadValue{"unknown key " + key};
}

struct SetOptions {
    std::string file;
    std::string output;
    bool userMode = false;
    std::vector<std::string> edits;
};

int RunSet(const SetOptions& options) {
    auto opened = ReadImageAsOpened(options.file);
    if (!opened) return kExitFailure;
    EditSession session;
    session.image = *opened;
    session.state.tones.mode = options.userMode ? ToneEntryMode::User : ToneEntryMode::Standard;
    session.page = CallPageAsLoaded(session.image, session.state.tones);
    session.frequency = FrequencyControlsAsLoaded(session.image, session.state.settings);
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
            for (const auto& message : answer.Messages()) PrintMessage(message);
            PrintDiagnostic(edit + " refused; nothing written");
            return kExitFailure;
        }
    }
    if (!options.output.empty()) return WriteImageFile(options.output, session.image) ? kExitSuccess : kExitFailure;
    if (const auto error = SaveTableFile(options.file, session.image)) {
        PrintMessage(*error);
        PrintDiagnostic("cannot write " + options.file);
        return kExitFailure;
    }
    return kExitSuccess;
}

}  // namespace

void AddSetCommand(CLI::App& app, int& status) {
    auto* command = app.add_subcommand(
        "set", "Edit fields of a table file as the window takes them: KEY=VALUE with the keys of show");
    auto options = std::make_shared<SetOptions>();
    command->add_option("FILE", options->file, "Table file")->required();
    command->add_option("EDITS", options->edits, "KEY=VALUE, applied in order")->required();
    command->add_option("-o,--output", options->output,
                        "Table file to write; without it FILE is saved, its old content kept as the .BAK backup");
    command->add_flag("--user-mode", options->userMode, "Take tones in User Mode instead of Standard Mode");
    command->callback([&status, options] { status = RunSet(*options); });
}

}  // namespace zr::cli

#include "keyed_edits.h"

#include <optional>
#include <span>

#include "image_offsets.h"
#include "call_switches.h"
#include "field_lists.h"
#include "image_fields.h"
#include "numeric_fields.h"
#include "option_switches.h"
#include "squelch_levels.h"

namespace zr {

namespace {

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

KeyedEditResult NotAnItem(const std::string& key, const std::string& value) {
    return BadValue{key + ": \"" + value + "\" is not an item of the list"};
}
KeyedEditResult NotASwitch(const std::string& key) { return BadValue{key + ": a switch is set to true or false"}; }

KeyedEditResult EditTone(KeyedEditSession& s, ToneField field, const std::string& value) {
    // Entering the field empties it; the value is then typed and the field left.
    EditorAnswer answer = ToneFieldEnter(s.state.tones, s.page, field);
    s.page.Text(field) = value;
    answer.Append(ToneExit(s.image, s.state.tones, s.state.settings.spacingTenths, s.page, field));
    return answer;
}

// What the check box of a switch key shows now, as the field table decodes its bit or byte.
bool SwitchShowsOn(const PagerImage& image, std::string_view key) {
    return std::get<bool>(DecodeField(image, *FindImageField(key)));
}

// A tone, the switch or the priority box of a call.
KeyedEditResult EditCall(KeyedEditSession& s, const CallKey& key, const std::string& value) {
    if (const auto field = ToneFieldOfKey(key)) return EditTone(s, *field, value);
    const auto on = SwitchValue(value);
    if (!on) return NotASwitch(key.key);
    if (key.part == "on") {
        const bool current = key.group ? s.page.groupOn[key.number - 1] : s.page.callOn[key.number - 1];
        if (*on == current) return EditorAnswer{};
        const std::uint8_t spacing = s.state.settings.spacingTenths;
        return key.group ? GroupCallSwitchClick(s.image, s.state.tones, spacing, s.page, key.number, *on)
                         : CallSwitchClick(s.image, s.state.tones, spacing, s.page, key.number, *on);
    }
    if (SwitchShowsOn(s.image, key.key) == *on) return EditorAnswer{};
    return key.group ? GroupPriorityClick(s.image, key.number, *on) : PriorityClick(s.image, key.number, *on);
}

KeyedEditResult EditFrequencyBox(KeyedEditSession& s, const std::string& key, const std::string& value) {
    EditorAnswer answer;
    if (key == "frequency") {
        if (!s.frequency.spacingItem)
            return BadValue{"frequency: spacing code " + std::to_string(s.image[kSpacingCodeOffset]) +
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
    EditorAnswer (*click)(PagerImage&, bool);
};

template <OptionSwitch box>
EditorAnswer ClickOption(PagerImage& image, bool on) {
    return OptionSwitchClick(image, box, on);
}

constexpr SwitchKey kSwitchKeys[] = {
    {"save_voice", ClickOption<OptionSwitch::SaveVoice>},
    {"audio_lock_on", ClickOption<OptionSwitch::AudioLock>},
    {"fix_alert", ClickOption<OptionSwitch::FixAlert>},
    {"disable_power_off", ClickOption<OptionSwitch::DisablePowerOff>},
    {"disable_vibration", ClickOption<OptionSwitch::DisableVibration>},
    {"power_save_disable", ClickOption<OptionSwitch::PowerSaveDisable>},
    {"privacy", ClickOption<OptionSwitch::Privacy>},
    {"full_time_auto_monitor", FullTimeAutoMonitorClick},
    {"priority_max_volume", PriorityMaxVolumeClick},
    {"squelch_record", SquelchRecordClick},
    {"narrowband", NarrowbandClick},
};

std::optional<KeyedEditResult> EditSwitch(KeyedEditSession& s, const std::string& key, const std::string& value) {
    for (const auto& entry : kSwitchKeys) {
        if (key != entry.key) continue;
        const auto on = SwitchValue(value);
        if (!on) return NotASwitch(key);
        if (SwitchShowsOn(s.image, key) == *on) return EditorAnswer{};
        return entry.click(s.image, *on);
    }
    return std::nullopt;
}

// The lists by key: their items and what picking one does.
struct ListKey {
    const char* key;
    std::span<const std::string_view> items;
    EditorAnswer (*pick)(KeyedEditSession&, std::size_t);
};

const ListKey kListKeys[] = {
    {"push_to_listen", kPushToListenItems, [](KeyedEditSession& s, std::size_t i) { return PushToListenClick(s.image, i); }},
    {"reset_control", kResetControlNames,
     [](KeyedEditSession& s, std::size_t i) { return ResetControlClick(s.image, i); }},
    {"reminder", kReminderItems, [](KeyedEditSession& s, std::size_t i) { return ReminderClick(s.image, i); }},
    {"record_sections", kRecordSectionItems,
     [](KeyedEditSession& s, std::size_t i) { return RecordSectionsClick(s.image, i); }},
    {"low_battery_reminder", kLowBatteryReminderItems,
     [](KeyedEditSession& s, std::size_t i) { return LowBatteryReminderClick(s.image, i); }},
    {"low_battery", kLowBatteryItems, [](KeyedEditSession& s, std::size_t i) { return LowBatteryClick(s.image, i); }},
    {"decoder_bandwidth", kDecoderBandwidthItems,
     [](KeyedEditSession& s, std::size_t i) { return DecoderBandwidthClick(s.image, s.state.settings, i); }},
    {"squelch_level", kSquelchLevelItems,
     [](KeyedEditSession& s, std::size_t i) { return SquelchLevelClick(s.image, s.state.settings.squelchLevels, i); }},
};

std::optional<KeyedEditResult> EditList(KeyedEditSession& s, const std::string& key, const std::string& value) {
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

bool IsCallKey(std::string_view key) {
    const auto call = ParseCallKey(std::string(key));
    return call && (ToneFieldOfKey(*call) || call->part == "on" || call->part == "priority");
}

}  // namespace

KeyedEditSession StartKeyedEdits(const EditorSession& loaded, ToneEntryMode mode) {
    KeyedEditSession session{loaded.image, loaded.state, CallPageOf(loaded.controls),
                             FrequencyControlsOf(loaded.controls)};
    // The load ran in Standard Mode, as the window starts; the edits take the mode asked for.
    session.state.tones.mode = mode;
    return session;
}

bool IsEditableKey(std::string_view key) {
    if (key == "frequency" || key == "band" || key == "spacing" || IsCallKey(key) || FindNumericField(key))
        return true;
    for (const auto& entry : kSwitchKeys)
        if (key == entry.key) return true;
    for (const auto& entry : kListKeys)
        if (key == entry.key) return true;
    return false;
}

std::string NotEditableReason(std::string_view key) {
    if (FindImageField(key)) return std::string(key) + " is not edited in the window";
    return "unknown key " + std::string(key);
}

KeyedEditResult ApplyKeyedEdit(KeyedEditSession& s, const std::string& key, const std::string& value) {
    if (!IsEditableKey(key)) return BadValue{NotEditableReason(key)};
    if (key == "frequency" || key == "band" || key == "spacing") return EditFrequencyBox(s, key, value);
    if (const auto call = ParseCallKey(key)) return EditCall(s, *call, value);
    if (const auto* field = FindNumericField(key)) {
        EditorAnswer answer;  // entering the field empties it
        answer.Text(std::string(field->control), "");
        answer.Append(NumericFieldExit(s.image, *field, value));
        return answer;
    }
    if (auto result = EditSwitch(s, key, value)) return std::move(*result);
    return *EditList(s, key, value);
}

}  // namespace zr

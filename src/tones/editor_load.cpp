#include "editor_load.h"

#include "image_offsets.h"

#include <array>
#include <span>
#include <string_view>
#include <variant>

#include "call_switches.h"
#include "encodings.h"
#include "field_lists.h"
#include "numeric_fields.h"
#include "option_switches.h"

namespace zr {

namespace {

constexpr unsigned kPriorityBit = 7;
constexpr std::uint8_t kAlertTypeMask = 0x7F;

// The boxes of offset 69 by their index (Tag): box n owns bit n - 1.
constexpr std::array<const char*, 8> kOptionSwitchBoxes = {"chkSYSSV",  "chkSYSPTL", "chkSYSAudio",   "chkSYSFIX",
                                                           "chkSYSPow", "chkSYSVib", "chkSYSPowSave", "chkSYSPrivacy"};

std::string Numbered(const char* family, std::size_t number) { return family + std::to_string(number); }

bool Bit(const PagerImage& image, std::size_t offset, unsigned bit) { return GetImageBits(image, offset, bit, 1) == 1; }

template <std::size_t N>
EditorControls::List FormList(const std::array<std::string_view, N>& items, std::size_t selected) {
    return {items.size(), selected};
}

// Runs the load's steps in order: each step is applied to the controls before the next reads them,
// and kept in the answer for the window.
class Loader {
public:
    Loader(PagerImage& image, EditorState& state, EditorControls& controls, const SquelchLevelTable& levels)
        : image_(image), state_(state), controls_(controls), levels_(levels) {}

    EditorAnswer Run() {
        Show("edtVersion", FirmwareVersionText(image_[kFirmwareMajorOffset], image_[kFirmwareMinorOffset]));
        LoadFrequencyBox();
        Select("cboBandWidth", image_[kDecoderBandwidthOffset]);
        ShowNumeric("edtBS_Period");
        ShowNumeric("edtBS_Duty");
        // A low battery code that no item stands for (every Write leaves 103) keeps the selection.
        if (const auto item = IndexOfCode(kLowBatteryCodes, image_[kLowBatteryOffset])) Select("cboBatteryLow", item);
        for (const char* field : {"edtRSSI", "edtRSSI2", "edtSSI"}) ShowNumeric(field);
        if (const auto level = SelectSquelchLevel(levels_, image_[kSpeakerOffOffset])) Select("cboSQL", level);
        ShowNumeric("edtRFDelay");
        for (const char* field : {"edtTone1Len", "edtTone1Limit", "edtTone2Len", "edtTone2Limit", "edtTone3Len"})
            ShowNumeric(field);
        LoadOptionSwitches();
        Select("cboResetCon", SelectResetControlItem(image_[kResetControlOffset]));
        Take(ResetControlClick(image_, controls_.Selected("cboResetCon")));
        for (const char* field : {"edtDelay", "edtAutoMonitor", "edtAudioLock"}) ShowNumeric(field);
        Select("cboReminder", ReminderItemForByte(image_[kReminderOffset]));
        Take(ReminderClick(image_, controls_.Selected("cboReminder").value_or(0)));
        Select("cboRecordMax", image_[kRecordSectionsOffset]);
        ShowNumeric("edtDecorderReset");
        for (const ToneKind kind : {ToneKind::Tone1, ToneKind::Tone2, ToneKind::Group}) ShowTones(kind);
        for (std::size_t call = 1; call <= kCalls; ++call)
            Select(Numbered("cboAlertType", call), image_[kCallAlertOffset + 2 * (call - 1)] & kAlertTypeMask);
        for (std::size_t group = 1; group <= kGroupCalls; ++group)
            Select(Numbered("cboGAlertType", group), image_[kGroupAlertOffset + 2 * (group - 1)] & kAlertTypeMask);
        Take(ShowAlertTimes(image_));
        for (std::size_t call = 1; call <= kCalls; ++call)
            SetBox(Numbered("chkPriority", call), Bit(image_, kCallAlertOffset + 2 * (call - 1), kPriorityBit));
        for (std::size_t group = 1; group <= kGroupCalls; ++group)
            SetBox(Numbered("chkGPriority", group), Bit(image_, kGroupAlertOffset + 2 * (group - 1), kPriorityBit));
        LoadCalls();
        for (const char* field : {"edtGapMax", "edtNoiseLimit", "edtSquelch"}) ShowNumeric(field);
        SetBox("chkVolumeLevel", Bit(image_, kOptions2Offset, 3));
        SetBox("chkFullTimeAutoMonitor", Bit(image_, kOptions2Offset, 2));
        ShowNumeric("edtDelayFullTime");
        SetBox("chkNBEn", image_[kNarrowbandOffset] != 0);
        SetBox("chkEnSQLRec", Bit(image_, kOptions2Offset, 5));
        if (const auto item = IndexOfCode(kLowBatteryReminderCodes, image_[kLowBatteryReminderOffset]))
            Select("cboPeriodBat", item);
        Take(ShowSquelchLevelTable(levels_));
        return std::move(answer_);
    }

private:
    void Take(EditorAnswer step) {
        controls_.Apply(step);
        answer_.Append(std::move(step));
    }
    void Show(const std::string& control, std::string text) {
        EditorAnswer step;
        step.Text(control, std::move(text));
        Take(std::move(step));
    }
    void ShowNumeric(std::string_view control) {
        for (const auto& field : kNumericFields)
            if (field.control == control) Show(std::string(control), NumericFieldText(image_, field));
    }
    void Select(const std::string& list, std::optional<std::size_t> item) {
        EditorAnswer step;
        step.Select(list, item);
        Take(std::move(step));
    }
    // Setting a box runs its handler exactly when its state changes, as a click would.
    void SetBox(const std::string& box, bool checked) {
        if (controls_.Checked(box) == checked) return;
        EditorAnswer step;
        step.Check(box, checked);
        Take(std::move(step));
        Take(CheckBoxClick(image_, state_, controls_, box, checked));
    }
    void ShowTones(ToneKind kind) {
        CallPage page = CallPageOf(controls_);
        Take(ShowToneFields(image_, state_.tones, page, kind));
    }

    // The frequency, the band with its spacing list, the spacing and the synthesizer words: the band
    // and spacing picks run as a user's would, so the image's band, code and words are made whole.
    void LoadFrequencyBox() {
        Take(ShowFrequencyFromImage(image_, state_.settings));
        const std::size_t band = image_[kFirstDigitOffset] == 1 ? kVhfBandItem : kUhfBandItem;
        Select("cboRangeFreq", band);
        EditorAnswer bandPick = BandClick(image_, state_.settings, band);
        const bool bandRefused = bandPick.outcome == EditOutcome::Refused;
        Take(std::move(bandPick));
        // The code the band pick left selects its item; an Auto code brings back the step it stands for.
        const std::uint8_t code = image_[kSpacingCodeOffset];
        Select("cboCSpace", SpacingItemForCode(band, code));
        if (const auto step = AutoStepOfCode(code)) state_.settings.channelStep = *step;
        EditorAnswer spacingPick = ChannelSpacingClick(image_, state_.settings, FrequencyControlsOf(controls_));
        const bool spacingRefused = spacingPick.outcome == EditOutcome::Refused;
        Take(std::move(spacingPick));
        // A frequency the band or the step refused keeps the words the image came with.
        if (bandRefused || spacingRefused) return;
        Take(ComputeSynthesizerWords(image_, state_.settings, controls_.Text("edtFreq")));
    }

    // Each box is set from its bit. Push To Listen is taken from its two bits once its box is set,
    // and the enabling of the boxes is re-applied after each box, so the privacy box decides last.
    void LoadOptionSwitches() {
        for (std::size_t index = 1; index <= kOptionSwitchBoxes.size(); ++index) {
            SetBox(kOptionSwitchBoxes[index - 1], Bit(image_, kOptionsOffset, static_cast<unsigned>(index - 1)));
            if (index == static_cast<std::size_t>(OptionSwitch::PushToListen)) {
                const std::size_t item = PushToListenItemFor(image_);
                Select("cboPTL", item);
                Take(PushToListenClick(image_, item));
            }
            Take(OptionEnablingAsLoaded(controls_.Checked("chkSYSSV"), controls_.Checked("chkSYSAudio"),
                                        controls_.Checked("chkSYSPrivacy")));
        }
    }

    // A call's controls follow its bit, then its switch box does; a box that changes runs its
    // handler, so a call the load switches on has its tones taken again.
    void LoadCalls() {
        for (std::size_t call = 1; call <= kCalls; ++call) {
            const bool on = Bit(image_, kCallEnablesOffset, static_cast<unsigned>(call - 1));
            Take(EnableCallControls(static_cast<unsigned>(call), on));
            SetBox(Numbered("chkDuty", call), on);
        }
        for (std::size_t group = 1; group <= kGroupCalls; ++group) {
            const bool on = Bit(image_, kGroupEnablesOffset, static_cast<unsigned>(group - 1));
            Take(EnableGroupCallControls(static_cast<unsigned>(group), on));
            SetBox(Numbered("chkGDuty", group), on);
        }
    }

    PagerImage& image_;
    EditorState& state_;
    EditorControls& controls_;
    const SquelchLevelTable& levels_;
    EditorAnswer answer_;
};

// The number in a box name after its family, for the call and priority boxes.
std::optional<unsigned> NumberAfter(const std::string& box, std::string_view family) {
    if (box.size() != family.size() + 1 || box.compare(0, family.size(), family) != 0) return std::nullopt;
    const char digit = box.back();
    if (digit < '1' || digit > '9') return std::nullopt;
    return static_cast<unsigned>(digit - '0');
}

}  // namespace

void EditorControls::Apply(const EditorAnswer& answer) {
    for (const EditorStep& step : answer.steps) {
        if (const auto* text = std::get_if<SetText>(&step)) {
            const auto limit = maxLengths.find(text->control);
            texts[text->control] = limit == maxLengths.end() ? text->text : text->text.substr(0, limit->second);
        } else if (const auto* box = std::get_if<SetChecked>(&step)) {
            if (const auto found = checked.find(box->control); found != checked.end()) found->second = box->checked;
        } else if (const auto* items = std::get_if<SetItems>(&step)) {
            if (const auto found = lists.find(items->control); found != lists.end()) {
                found->second.count = items->items.size();
                found->second.selected = items->items.empty() ? std::nullopt : std::optional<std::size_t>(0);
            }
        } else if (const auto* selection = std::get_if<SetSelection>(&step)) {
            if (const auto found = lists.find(selection->control); found != lists.end()) {
                const bool listed = selection->item && *selection->item < found->second.count;
                found->second.selected = listed ? selection->item : std::nullopt;
            }
        }
    }
}

bool EditorControls::Checked(const std::string& box) const {
    const auto found = checked.find(box);
    return found != checked.end() && found->second;
}

std::optional<std::size_t> EditorControls::Selected(const std::string& list) const {
    const auto found = lists.find(list);
    return found == lists.end() ? std::nullopt : found->second.selected;
}

std::string EditorControls::Text(const std::string& control) const {
    const auto found = texts.find(control);
    return found == texts.end() ? std::string() : found->second;
}

EditorControls StartupEditorControls() {
    EditorControls controls;
    for (const auto& box : EditorCheckBoxes()) controls.checked[box] = false;
    controls.maxLengths["edtFreq"] = kFrequencyDigits;
    controls.lists["cboRangeFreq"] = FormList(kBandItems, kVhfBandItem);
    controls.lists["cboCSpace"] = FormList(kVhfSpacingItems, 0);
    controls.lists["cboBandWidth"] = FormList(kDecoderBandwidthItems, 0);
    controls.lists["cboBatteryLow"] = FormList(kLowBatteryItems, 0);
    controls.lists["cboSQL"] = FormList(kSquelchLevelItems, kSquelchLevelItems.size() - 1);
    controls.lists["cboPTL"] = FormList(kPushToListenItems, 1);
    controls.lists["cboResetCon"] = FormList(kResetControlNames, 0);
    controls.lists["cboReminder"] = FormList(kReminderItems, 0);
    controls.lists["cboRecordMax"] = FormList(kRecordSectionItems, 0);
    controls.lists["cboPeriodBat"] = FormList(kLowBatteryReminderItems, 0);
    for (std::size_t call = 1; call <= kCalls; ++call)
        controls.lists[Numbered("cboAlertType", call)] = FormList(kAlertTypeItems, 0);
    for (std::size_t group = 1; group <= kGroupCalls; ++group)
        controls.lists[Numbered("cboGAlertType", group)] = FormList(kAlertTypeItems, 0);
    return controls;
}

CallPage CallPageOf(const EditorControls& controls) {
    CallPage page;
    for (std::size_t slot = 1; slot <= kToneSlots; ++slot) {
        const ToneField field = ToneFieldOfSlot(slot);
        page.Text(field) = controls.Text(ToneControlName(field));
    }
    for (std::size_t call = 1; call <= kCalls; ++call) page.callOn[call - 1] = controls.Checked(Numbered("chkDuty", call));
    for (std::size_t group = 1; group <= kGroupCalls; ++group)
        page.groupOn[group - 1] = controls.Checked(Numbered("chkGDuty", group));
    return page;
}

FrequencyControls FrequencyControlsOf(const EditorControls& controls) {
    FrequencyControls frequency;
    frequency.bandItem = controls.Selected("cboRangeFreq").value_or(kBandItems.size());
    frequency.spacingItem = controls.Selected("cboCSpace");
    frequency.frequencyText = controls.Text("edtFreq");
    return frequency;
}

const std::vector<std::string>& EditorCheckBoxes() {
    static const std::vector<std::string> boxes = [] {
        std::vector<std::string> names;
        for (std::size_t call = 1; call <= kCalls; ++call) {
            names.push_back(Numbered("chkDuty", call));
            names.push_back(Numbered("chkPriority", call));
        }
        for (std::size_t group = 1; group <= kGroupCalls; ++group) {
            names.push_back(Numbered("chkGDuty", group));
            names.push_back(Numbered("chkGPriority", group));
        }
        names.insert(names.end(), kOptionSwitchBoxes.begin(), kOptionSwitchBoxes.end());
        for (const char* box : {"chkVolumeLevel", "chkFullTimeAutoMonitor", "chkEnSQLRec", "chkNBEn"})
            names.push_back(box);
        return names;
    }();
    return boxes;
}

EditorAnswer CheckBoxClick(PagerImage& image, EditorState& state, const EditorControls& controls,
                           const std::string& box, bool checked) {
    if (const auto call = NumberAfter(box, "chkDuty")) {
        CallPage page = CallPageOf(controls);
        return CallSwitchClick(image, state.tones, state.settings.spacingTenths, page, *call, checked);
    }
    if (const auto group = NumberAfter(box, "chkGDuty")) {
        CallPage page = CallPageOf(controls);
        return GroupCallSwitchClick(image, state.tones, state.settings.spacingTenths, page, *group, checked);
    }
    if (const auto call = NumberAfter(box, "chkPriority")) return PriorityClick(image, *call, checked);
    if (const auto group = NumberAfter(box, "chkGPriority")) return GroupPriorityClick(image, *group, checked);
    for (std::size_t index = 1; index <= kOptionSwitchBoxes.size(); ++index)
        if (box == kOptionSwitchBoxes[index - 1])
            return OptionSwitchClick(image, static_cast<OptionSwitch>(index), checked);
    if (box == "chkVolumeLevel") return PriorityMaxVolumeClick(image, checked);
    if (box == "chkFullTimeAutoMonitor") return FullTimeAutoMonitorClick(image, checked);
    if (box == "chkEnSQLRec") return SquelchRecordClick(image, checked);
    if (box == "chkNBEn") return NarrowbandClick(image, checked);
    return {};
}

EditorAnswer LoadImageIntoEditor(PagerImage& image, EditorState& state, EditorControls& controls,
                                 const SquelchLevelTable& levels) {
    return Loader(image, state, controls, levels).Run();
}

EditorAnswer EditorSession::Load() {
    EditorAnswer answer = LoadImageIntoEditor(image, state, controls, state.settings.squelchLevels);
    for (const ToneKind kind : {ToneKind::Tone1, ToneKind::Tone2}) {
        CallPage page = CallPageOf(controls);
        EditorAnswer shown = ShowToneFields(image, state.tones, page, kind);
        controls.Apply(shown);
        answer.Append(std::move(shown));
    }
    return answer;
}

EditorSession StartupEditorSession() {
    EditorSession session{StartupImage(), EditorState{}, StartupEditorControls()};
    LoadImageIntoEditor(session.image, session.state, session.controls, session.state.settings.squelchLevels);
    return session;
}

}  // namespace zr

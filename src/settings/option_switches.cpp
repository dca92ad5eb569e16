#include "option_switches.h"

#include "image_offsets.h"

#include <array>
#include <span>
#include <string>
#include <vector>

#include "field_lists.h"

namespace zr {

namespace {

constexpr unsigned kPushToListenBit = 1;
constexpr unsigned kPushToListenModeBit = 4;
// With Push To Listen on, only the first four reset modes are offered.
constexpr std::size_t kResetItemsWithPushToListen = 4;

// The controls that hang on the save voice, audio lock and privacy switches.
constexpr std::array<const char*, 2> kRecordControls = {"cboRecordMax", "Label21"};
constexpr std::array<const char*, 3> kAudioLockControls = {"edtAudioLock", "Label24", "Label31"};
constexpr std::array<const char*, 7> kMonitorButtonControls = {"chkSYSAudio", "edtAudioLock", "edtAutoMonitor",
                                                              "Label24",     "Label31",      "Label23",
                                                              "Label30"};
constexpr std::array<const char*, 2> kPushToListenControls = {"Label75", "cboPTL"};

void EnableAll(EditorAnswer& answer, std::span<const char* const> controls, bool enabled) {
    for (const char* control : controls) answer.Enable(control, enabled);
}

void SetBit(EditorAnswer& answer, PagerImage& image, std::size_t offset, unsigned bit, bool on) {
    SetImageBits(image, offset, bit, on ? 1 : 0, 1);
    answer.MarkStored();
}

// Privacy takes the monitor/reset button away from auto monitor, audio lock and Push To Listen.
void ApplyPrivacy(EditorAnswer& answer, PagerImage& image, bool privacy) {
    EnableAll(answer, kMonitorButtonControls, !privacy);
    const std::size_t item =
        privacy ? 0 : (GetImageBits(image, kOptions2Offset, kPushToListenModeBit, 1) == 1 ? 2 : 1);
    answer.Select("cboPTL", item);
    answer.Append(PushToListenClick(image, item));
    EnableAll(answer, kPushToListenControls, !privacy);
}

EditorAnswer StoreCode(PagerImage& image, std::size_t offset, std::uint8_t code) {
    EditorAnswer answer;
    image[offset] = code;
    answer.MarkStored();
    return answer;
}

}  // namespace

EditorAnswer OptionSwitchClick(PagerImage& image, OptionSwitch box, bool checked) {
    EditorAnswer answer;
    switch (box) {
        case OptionSwitch::SaveVoice: EnableAll(answer, kRecordControls, checked); break;
        case OptionSwitch::AudioLock: EnableAll(answer, kAudioLockControls, checked); break;
        case OptionSwitch::Privacy: ApplyPrivacy(answer, image, checked); break;
        default: break;
    }
    SetBit(answer, image, kOptionsOffset, static_cast<unsigned>(box) - 1, checked);
    return answer;
}

EditorAnswer OptionEnablingAsLoaded(bool saveVoice, bool audioLock, bool privacy) {
    EditorAnswer answer;
    EnableAll(answer, kRecordControls, saveVoice);
    EnableAll(answer, kAudioLockControls, audioLock);
    EnableAll(answer, kMonitorButtonControls, !privacy);
    EnableAll(answer, kPushToListenControls, !privacy);
    return answer;
}

EditorAnswer OptionGreyingForModifyMode(bool saveVoice, bool audioLock, bool privacy) {
    EditorAnswer answer;
    if (privacy) {
        EnableAll(answer, kMonitorButtonControls, false);
        EnableAll(answer, kPushToListenControls, false);
    }
    if (!audioLock) EnableAll(answer, kAudioLockControls, false);
    if (!saveVoice) EnableAll(answer, kRecordControls, false);
    return answer;
}

std::size_t PushToListenItemFor(const PagerImage& image) {
    if (GetImageBits(image, kOptionsOffset, kPushToListenBit, 1) == 0) return 0;
    return GetImageBits(image, kOptions2Offset, kPushToListenModeBit, 1) == 1 ? 2 : 1;
}

std::size_t OfferedResetControlItems(const PagerImage& image) {
    return GetImageBits(image, kOptionsOffset, kPushToListenBit, 1) == 1 ? kResetItemsWithPushToListen
                                                                         : kResetControlNames.size();
}

EditorAnswer PushToListenClick(PagerImage& image, std::size_t item) {
    EditorAnswer answer;
    if (item >= kPushToListenItems.size()) return answer;
    const bool on = item != 0;
    SetBit(answer, image, kOptionsOffset, kPushToListenBit, on);
    const std::size_t offered = on ? kResetItemsWithPushToListen : kResetControlNames.size();
    answer.Items("cboResetCon", std::vector<std::string>(kResetControlNames.begin(), kResetControlNames.begin() +
                                                                                         static_cast<long>(offered)));
    const std::uint8_t code = image[kResetControlOffset];
    // "Revert SQ" and "Delay AUTO N with Revert" are not offered with Push To Listen.
    const std::optional<std::size_t> selected = on && (code == 2 || code == 5) ? 0 : SelectResetControlItem(code);
    answer.Select("cboResetCon", selected);
    answer.Append(ResetControlClick(image, selected));
    if (on) SetBit(answer, image, kOptions2Offset, kPushToListenModeBit, item == 2);
    return answer;
}

EditorAnswer ResetControlClick(PagerImage& image, std::optional<std::size_t> item) {
    EditorAnswer answer;
    if (item && *item < kResetControlCodes.size()) {
        image[kResetControlOffset] = kResetControlCodes[*item];
        answer.MarkStored();
    }
    const std::uint8_t code = image[kResetControlOffset];
    const bool delayed = code == 1 || code == 4 || code == 5;
    for (const char* control : {"Label26", "edtDelay", "Label32"}) answer.Show(control, delayed);
    return answer;
}

EditorAnswer PriorityMaxVolumeClick(PagerImage& image, bool checked) {
    EditorAnswer answer;
    SetBit(answer, image, kOptions2Offset, 3, checked);
    return answer;
}

EditorAnswer FullTimeAutoMonitorClick(PagerImage& image, bool checked) {
    EditorAnswer answer;
    SetBit(answer, image, kOptions2Offset, 2, checked);
    for (const char* control : {"lblStandbyToMonitorDelay", "edtDelayFullTime", "lblStandbySec"})
        answer.Enable(control, checked);
    return answer;
}

EditorAnswer SquelchRecordClick(PagerImage& image, bool checked) {
    EditorAnswer answer;
    SetBit(answer, image, kOptions2Offset, 5, checked);
    return answer;
}

EditorAnswer NarrowbandClick(PagerImage& image, bool checked) { return StoreCode(image, kNarrowbandOffset, checked); }

EditorAnswer RecordSectionsClick(PagerImage& image, std::size_t item) {
    if (item >= kRecordSectionItems.size()) return {};
    return StoreCode(image, kRecordSectionsOffset, static_cast<std::uint8_t>(item));
}

EditorAnswer ReminderClick(PagerImage& image, std::size_t item) {
    if (item >= kReminderCodes.size()) return {};
    return StoreCode(image, kReminderOffset, kReminderCodes[item]);
}

EditorAnswer LowBatteryReminderClick(PagerImage& image, std::size_t item) {
    if (item >= kLowBatteryReminderCodes.size()) return {};
    return StoreCode(image, kLowBatteryReminderOffset, kLowBatteryReminderCodes[item]);
}

EditorAnswer LowBatteryClick(PagerImage&, std::size_t) { return {}; }

}  // namespace zr

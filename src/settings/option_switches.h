// The option switches of offsets 69 and 81, the narrowband flag, and the selectors stored as codes:
// Push To Listen, reset control, reminder, record sections, low battery reminder.
//
// Privacy, Push To Listen and the reset control hang together: privacy on switches Push To Listen
// off and greys it with the monitor-button fields; Push To Listen on offers only the first four
// reset modes and turns a stored "Revert SQ" or "Delay AUTO N with Revert" into "Auto Reset".
#pragma once

#include <cstddef>
#include <optional>

#include "editor_answer.h"
#include "pager_image.h"

namespace zr {

// Indexes (Tags) of the check boxes of offset 69; box t owns bit t - 1.
enum class OptionSwitch : unsigned {
    SaveVoice = 1,
    PushToListen = 2,
    AudioLock = 3,
    FixAlert = 4,
    DisablePowerOff = 5,
    DisableVibration = 6,
    PowerSaveDisable = 7,
    Privacy = 8,
};

// A box of offset 69 clicked (it already shows `checked`): the enabling that hangs on save voice,
// audio lock and privacy, Push To Listen re-picked for privacy, then the box's bit.
EditorAnswer OptionSwitchClick(PagerImage& image, OptionSwitch box, bool checked);

// The enabling that hangs on the save voice, audio lock and privacy boxes, as loading the image
// re-applies it after setting each box: the record list follows save voice, the audio lock time its
// box, and privacy greys the monitor-button controls, so with privacy off the audio lock time is
// usable even while "Audio lock on" is off.
EditorAnswer OptionEnablingAsLoaded(bool saveVoice, bool audioLock, bool privacy);
// Returning to Modify Mode enables every editor, then greys again what the switches keep greyed: with
// privacy on, everything that uses the monitor/reset button and the Push To Listen list; with audio
// lock off, its key time; with save voice off, the record length. Nothing is enabled here.
EditorAnswer OptionGreyingForModifyMode(bool saveVoice, bool audioLock, bool privacy);

// The Push To Listen item an image stands for: "Disable" while bit 1 of offset 69 is clear, else
// "Vibration Mode Only" when bit 4 of offset 81 is set, "Alert & Vibration Mode" when not.
std::size_t PushToListenItemFor(const PagerImage& image);

// Push To Listen picked: its bits, the reset control list rebuilt with the modes it allows and
// the reset pick run for the item the stored code then selects.
EditorAnswer PushToListenClick(PagerImage& image, std::size_t item);

// How many reset control items the list offers while Push To Listen is in the image's state.
std::size_t OfferedResetControlItems(const PagerImage& image);

// Reset control picked: the item's code into offset 67, and the delay field shown for the modes
// that wait (codes 1, 4, 5). With no item selected (a loaded code above 5) offset 67 is left alone.
EditorAnswer ResetControlClick(PagerImage& image, std::optional<std::size_t> item);

// Bits of offset 81 and the narrowband flag; Full Time Auto Monitor also enables its delay row.
EditorAnswer PriorityMaxVolumeClick(PagerImage& image, bool checked);
EditorAnswer FullTimeAutoMonitorClick(PagerImage& image, bool checked);
EditorAnswer SquelchRecordClick(PagerImage& image, bool checked);
EditorAnswer NarrowbandClick(PagerImage& image, bool checked);

// List picks stored as codes; an item the list does not have stores nothing.
EditorAnswer RecordSectionsClick(PagerImage& image, std::size_t item);
EditorAnswer ReminderClick(PagerImage& image, std::size_t item);
EditorAnswer LowBatteryReminderClick(PagerImage& image, std::size_t item);
// The low battery threshold is set by every Write; picking it stores nothing.
EditorAnswer LowBatteryClick(PagerImage& image, std::size_t item);

}  // namespace zr

#include "call_switches.h"

#include "image_offsets.h"

#include <string>

#include "encodings.h"

namespace zr {

namespace {

constexpr unsigned kPriorityBit = 7;

EditorAnswer EnableControls(std::initializer_list<const char*> prefixes, unsigned number, bool on) {
    EditorAnswer answer;
    for (const char* prefix : prefixes) answer.Enable(prefix + std::to_string(number), on);
    return answer;
}

EditorAnswer StoreBit(PagerImage& image, std::size_t offset, unsigned bit, bool on) {
    EditorAnswer answer;
    SetImageBits(image, offset, bit, on ? 1 : 0, 1);
    answer.MarkStored();
    return answer;
}

}  // namespace

EditorAnswer EnableCallControls(unsigned call, bool on) {
    if (call < 1 || call > kCalls) return {};
    return EnableControls({"edtT1", "edtT2", "edtAlertTime", "cboAlertType", "chkPriority"}, call, on);
}

EditorAnswer EnableGroupCallControls(unsigned group, bool on) {
    if (group < 1 || group > kGroupCalls) return {};
    return EnableControls({"edtT3", "edtGAlertTime", "cboGAlertType", "chkGPriority"}, group, on);
}

EditorAnswer CallSwitchClick(PagerImage& image, ToneEditorState& state, std::uint8_t spacingTenths, CallPage& page,
                             unsigned call, bool on) {
    EditorAnswer answer;
    if (call < 1 || call > kCalls) return answer;
    page.callOn[call - 1] = on;
    answer.Append(EnableCallControls(call, on));
    answer.Append(StoreBit(image, kCallEnablesOffset, call - 1, on));
    if (!on) return answer;
    answer.Append(ToneExit(image, state, spacingTenths, page, {ToneKind::Tone1, call}));
    answer.Append(ToneExit(image, state, spacingTenths, page, {ToneKind::Tone2, call}));
    return answer;
}

EditorAnswer GroupCallSwitchClick(PagerImage& image, ToneEditorState& state, std::uint8_t spacingTenths,
                                  CallPage& page, unsigned group, bool on) {
    EditorAnswer answer;
    if (group < 1 || group > kGroupCalls) return answer;
    page.groupOn[group - 1] = on;
    answer.Append(EnableGroupCallControls(group, on));
    answer.Append(StoreBit(image, kGroupEnablesOffset, group - 1, on));
    if (on) answer.Append(ToneExit(image, state, spacingTenths, page, {ToneKind::Group, group}));
    return answer;
}

EditorAnswer PriorityClick(PagerImage& image, unsigned call, bool ticked) {
    if (call < 1 || call > kCalls) return {};
    return StoreBit(image, kCallAlertOffset + 2 * (call - 1), kPriorityBit, ticked);
}

EditorAnswer GroupPriorityClick(PagerImage& image, unsigned group, bool ticked) {
    if (group < 1 || group > kGroupCalls) return {};
    return StoreBit(image, kGroupAlertOffset + 2 * (group - 1), kPriorityBit, ticked);
}

EditorAnswer ShowAlertTimes(const PagerImage& image) {
    EditorAnswer answer;
    for (unsigned call = 1; call <= kCalls; ++call)
        answer.Text("edtAlertTime" + std::to_string(call), HalfSecondsText(image[kCallAlertOffset + 2 * call - 1]));
    for (unsigned group = 1; group <= kGroupCalls; ++group)
        answer.Text("edtGAlertTime" + std::to_string(group), HalfSecondsText(image[kGroupAlertOffset + 2 * group - 1]));
    return answer;
}

}  // namespace zr

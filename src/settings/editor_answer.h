// What an editing rule answers: whether it stored, refused or had nothing to do, and the changes
// the window makes to its controls, in the order the window makes them.
//
// A rule runs every handler its change implies (a band pick re-runs the spacing pick and the
// frequency exit, a privacy click re-runs the Push To Listen pick, switching a call on re-runs the
// exit of both its tones) and hands back one answer. The window applies the steps in order, each
// with its own handlers blocked, since the core has already done what those handlers would do.
// Controls are named as the window names them ("edtFreq", "cboCSpace", "edtT21", ...). The image
// and the editor state are updated in place by the rule itself.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "message.h"

namespace zr {

// The control's text becomes `text`.
struct SetText {
    std::string control;
    std::string text;
    bool operator==(const SetText&) const = default;
};
// The list's items are replaced by `items`; its selection follows in a SetSelection step.
struct SetItems {
    std::string control;
    std::vector<std::string> items;
    bool operator==(const SetItems&) const = default;
};
// The list selects `item`, or nothing when empty.
struct SetSelection {
    std::string control;
    std::optional<std::size_t> item;
    bool operator==(const SetSelection&) const = default;
};
struct SetEnabled {
    std::string control;
    bool enabled;
    bool operator==(const SetEnabled&) const = default;
};
struct SetVisible {
    std::string control;
    bool visible;
    bool operator==(const SetVisible&) const = default;
};
// The check box shows `checked`. Applied with the box's handler blocked like every step: the rule
// that answered has already run what its click would.
struct SetChecked {
    std::string control;
    bool checked;
    bool operator==(const SetChecked&) const = default;
};
// The focus goes back to `control`, so the user corrects the entry there.
struct SetFocus {
    std::string control;
    bool operator==(const SetFocus&) const = default;
};
// A modal message box, shown through the window's one message seam.
struct ShowMessage {
    Message message;
    bool operator==(const ShowMessage&) const = default;
};

using EditorStep =
    std::variant<SetText, SetItems, SetSelection, SetEnabled, SetVisible, SetChecked, SetFocus, ShowMessage>;

enum class EditOutcome {
    NothingToDo,  // the image is as it was and no message was shown
    Stored,       // the entry, or what followed from it, was written into the image
    Refused,      // a message was shown; the refused entry left its bytes as they were
};

struct EditorAnswer {
    EditOutcome outcome = EditOutcome::NothingToDo;
    std::vector<EditorStep> steps;

    void Text(std::string control, std::string text) { steps.push_back(SetText{std::move(control), std::move(text)}); }
    void Items(std::string control, std::vector<std::string> items) {
        steps.push_back(SetItems{std::move(control), std::move(items)});
    }
    void Select(std::string control, std::optional<std::size_t> item) {
        steps.push_back(SetSelection{std::move(control), item});
    }
    void Enable(std::string control, bool enabled) { steps.push_back(SetEnabled{std::move(control), enabled}); }
    void Show(std::string control, bool visible) { steps.push_back(SetVisible{std::move(control), visible}); }
    void Check(std::string control, bool checked) { steps.push_back(SetChecked{std::move(control), checked}); }
    void Focus(std::string control) { steps.push_back(SetFocus{std::move(control)}); }
    // Shows `message` and marks the answer refused.
    void Refuse(Message message) {
        steps.push_back(ShowMessage{std::move(message)});
        outcome = EditOutcome::Refused;
    }
    void MarkStored() {
        if (outcome == EditOutcome::NothingToDo) outcome = EditOutcome::Stored;
    }

    // Adds the steps of a handler run as part of this one; a refusal anywhere makes the whole answer
    // refused, otherwise any store makes it stored.
    void Append(EditorAnswer other) {
        for (auto& step : other.steps) steps.push_back(std::move(step));
        if (other.outcome == EditOutcome::Refused) outcome = EditOutcome::Refused;
        else if (other.outcome == EditOutcome::Stored) MarkStored();
    }

    // The messages in the order they are shown.
    std::vector<Message> Messages() const {
        std::vector<Message> messages;
        for (const auto& step : steps)
            if (const auto* shown = std::get_if<ShowMessage>(&step)) messages.push_back(shown->message);
        return messages;
    }
    // The text `control` shows once every step is applied, or nothing when no step sets it.
    std::optional<std::string> FinalText(const std::string& control) const {
        std::optional<std::string> text;
        for (const auto& step : steps)
            if (const auto* set = std::get_if<SetText>(&step); set && set->control == control) text = set->text;
        return text;
    }
    // The selection a `SetSelection` step last gave `control`: none when no step selects in it, an
    // empty optional inside when the list is left with no item selected.
    std::optional<std::optional<std::size_t>> FinalSelection(const std::string& control) const {
        std::optional<std::optional<std::size_t>> selection;
        for (const auto& step : steps)
            if (const auto* set = std::get_if<SetSelection>(&step); set && set->control == control) selection = set->item;
        return selection;
    }
};

}  // namespace zr

#include "field_editors.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>
#include <string_view>
#include <type_traits>
#include <variant>

#include "call_switches.h"
#include "field_lists.h"
#include "table_file_dialogs.h"
#include "option_switches.h"
#include "editor_window.h"

namespace zr::gui {

namespace {

// What QLineEdit::maxLength() gives for an edit without a limit of its own.
constexpr int kNoLengthLimit = 32767;


// Sets a flag for the life of a scope, and restores what it was.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = previous_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
    bool previous_;
};

// The character a key types, as the key filters judge it: Enter, Backspace and the printable
// characters. Keys that type nothing (arrows, Delete, Tab, Esc) and the Ctrl and Alt shortcuts of
// an edit (copy, paste, select all) are the edit's own and pass unjudged.
std::optional<char> TypedCharacter(const QKeyEvent& key) {
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) return kEnterKey;
    if (key.key() == Qt::Key_Backspace) return kBackspaceKey;
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return std::nullopt;
    const QString text = key.text();
    if (text.isEmpty() || !text.at(0).isPrint()) return std::nullopt;
    const char16_t typed = text.at(0).unicode();
    // Outside ASCII no character is a digit or a point: the filters treat it as any other letter.
    return typed < 0x80 ? static_cast<char>(typed) : '?';
}

// The control a step changes; a message step changes none.
const std::string& ControlNameOf(const EditorStep& step) {
    static const std::string kNone;
    return std::visit(
        [](const auto& change) -> const std::string& {
            if constexpr (std::is_same_v<std::decay_t<decltype(change)>, ShowMessage>) return kNone;
            else return change.control;
        },
        step);
}

// The control that has the focus in its window, or gets it back when the window is active again
// (a message box may still be closing).
bool IsFocusOfItsWindow(const QWidget* control) { return control->window()->focusWidget() == control; }

}  // namespace

FieldEditors::FieldEditors(EditorWindow& form, std::function<QString()> pickTone, QObject* parent)
    : QObject(parent), form_(form), pickTone_(std::move(pickTone)) {
    for (QWidget* control : form.EditorControls()->findChildren<QWidget*>())
        if (!control->objectName().isEmpty()) controls_.insert(control->objectName(), control);
    BindEdits();
    ConnectCheckBoxes();
    ConnectLists();
    connect(&form.Focus(), &FieldFocus::entered, this, &FieldEditors::FieldEntered);
    connect(&form.Focus(), &FieldFocus::exited, this, &FieldEditors::FieldExited);
}

// ---- the edits

void FieldEditors::BindEdits() {
    for (const ToneKind kind : {ToneKind::Tone1, ToneKind::Tone2, ToneKind::Group})
        for (unsigned index = 1; IsToneField({kind, index}); ++index) BindToneField({kind, index});
    edits_.insert(Find<QLineEdit>("edtFreq"), {KeyFilter::Frequency, std::nullopt, [this] { return FrequencyExit(); }});
    // The alert times are hidden and never stored: leaving one shows the stored times again.
    const auto showAlertTimes = [this] { return Apply(ShowAlertTimes(form_.Image())); };
    for (unsigned call = 1; call <= kCalls; ++call)
        edits_.insert(form_.Member<QLineEdit>("edtAlertTime", static_cast<int>(call)),
                      {KeyFilter::OneDecimal, std::nullopt, showAlertTimes});
    for (unsigned group = 1; group <= kGroupCalls; ++group)
        edits_.insert(form_.Member<QLineEdit>("edtGAlertTime", static_cast<int>(group)),
                      {KeyFilter::OneDecimal, std::nullopt, showAlertTimes});
    for (const auto& field : kNumericFields) BindNumericField(field);
    for (std::size_t level = 0; level < kSquelchLevelItems.size(); ++level) {
        BindSquelchTableField(level, SquelchColumn::SpeakerOff);
        BindSquelchTableField(level, SquelchColumn::SpeakerOn);
    }
    for (auto binding = edits_.cbegin(); binding != edits_.cend(); ++binding) binding.key()->installEventFilter(this);
}

void FieldEditors::BindToneField(ToneField field) {
    edits_.insert(Find<QLineEdit>(ToneControlName(field).c_str()),
                  {KeyFilter::OneDecimal, field, [this, field] { return ToneExit(field); }});
}

void FieldEditors::BindNumericField(const NumericField& field) {
    KeyFilter keys = KeyFilter::Integer;
    if (field.encoding == NumericEncoding::Level) keys = KeyFilter::TwoDecimal;
    // The standby delay takes its seconds with the level fields' two-decimal filter.
    if (field.encoding == NumericEncoding::HalfSeconds)
        keys = field.control == "edtDelayFullTime" ? KeyFilter::TwoDecimal : KeyFilter::OneDecimal;
    edits_.insert(Find<QLineEdit>(std::string(field.control).c_str()),
                  {keys, std::nullopt, [this, &field] { return NumericExit(field); }});
}

void FieldEditors::BindSquelchTableField(std::size_t level, SquelchColumn column) {
    const char* family = column == SquelchColumn::SpeakerOff ? "edtSQL_OFF" : "edtSQL_ON";
    edits_.insert(form_.Member<QLineEdit>(family, static_cast<int>(level)),
                  {KeyFilter::TwoDecimal, std::nullopt, [this, level, column] { return SquelchTableExit(level, column); }});
}

void FieldEditors::FieldEntered(QWidget* widget) {
    if (reacting_) return;
    auto* edit = qobject_cast<QLineEdit*>(widget);
    const auto binding = edits_.constFind(edit);
    if (binding == edits_.cend()) return;
    const FlagScope scope(reacting_);
    if (binding->tone) {
        ReadEntryMode();
        CallPage page = ReadCallPage();
        Apply(ToneFieldEnter(state_.tones, page, *binding->tone));
        return;
    }
    // An entry starts from an empty field; leaving it empty shows the stored value again.
    const QSignalBlocker blocker(edit);
    edit->clear();
}

void FieldEditors::FieldExited(QWidget* widget) {
    if (reacting_) return;
    auto* edit = qobject_cast<QLineEdit*>(widget);
    const auto binding = edits_.constFind(edit);
    if (binding == edits_.cend()) return;
    if (IsMouseOverARefusedEntry(edit)) {
        KeepTheFocus(edit);
        return;
    }
    RunExit(edit, *binding);
    // A refused field took the focus back while it was still losing it, and its own focus-out then
    // hid its caret.
    if (IsFocusOfItsWindow(edit)) {
        KeepTheFocus(edit);
        return;
    }
    EnterWhereTheFocusWent(edit);
}

// A message shown by the exit, letting the focus go on where the user sent it, takes that field's
// enter with it: the window gives it the focus only when it is active again, which is no enter.
// Its entry starts here then. Without a message its own focus-in follows, and starts it.
void FieldEditors::EnterWhereTheFocusWent(QLineEdit* left) {
    QWidget* next = left->window()->focusWidget();
    if (next == nullptr || next == left || QApplication::focusWidget() == next || !next->isEnabled()) return;
    FieldEntered(next);
}

void FieldEditors::RunExit(QLineEdit* edit, const EditBinding& binding) {
    const auto exit = binding.exit;
    EditOutcome outcome;
    {
        const FlagScope scope(reacting_);
        outcome = exit();
    }
    // A refusal that emptied its field (a call tone out of the standard range) holds no entry: left
    // empty, the field shows its stored tone again without a message.
    if (outcome == EditOutcome::Refused && IsFocusOfItsWindow(edit) && !edit->text().isEmpty())
        refused_ = RefusedEntry{edit, edit->text()};
    else
        refused_.reset();
}

// The mouse over the window parks the focus on edtNull while a refused entry, unchanged, still
// has the focus. The technician has seen its message and is correcting it: the focus stays, and
// no message comes back with every movement of the mouse. Tab, a click, Enter still take it again.
bool FieldEditors::IsMouseOverARefusedEntry(QLineEdit* edit) const {
    return refused_ && refused_->field == edit && refused_->text == edit->text() && !leavingByEnter_ &&
           QApplication::focusWidget() == controls_.value(QStringLiteral("edtNull"));
}

void FieldEditors::KeepTheFocus(QLineEdit* edit) {
    if (!IsFocusOfItsWindow(edit)) edit->setFocus(Qt::ActiveWindowFocusReason);
    QTimer::singleShot(0, edit, [edit] {
        if (!edit->hasFocus()) return;
        QFocusEvent caretBack(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
        QCoreApplication::sendEvent(edit, &caretBack);
    });
}

bool FieldEditors::eventFilter(QObject* watched, QEvent* event) {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    const auto binding = edits_.constFind(edit);
    if (binding == edits_.cend()) return false;
    if (event->type() == QEvent::KeyPress) {
        const auto key = TypedCharacter(*static_cast<QKeyEvent*>(event));
        return key && KeyPressed(edit, *binding, *key);
    }
    if (event->type() == QEvent::MouseButtonDblClick && binding->tone) return ToneFieldDoubleClicked(*binding->tone);
    return false;
}

// Returns true when the key is swallowed.
bool FieldEditors::KeyPressed(QLineEdit* edit, const EditBinding& binding, char key) {
    // Enter leaves the field for edtNull; the exit runs once, as the field loses the focus. A refused
    // entry takes the focus back there.
    const auto leaveForNull = [this] {
        const FlagScope scope(leavingByEnter_);
        Control("edtNull")->setFocus(Qt::OtherFocusReason);
    };
    const std::string text = edit->text().toStdString();
    switch (binding.keys) {
        case KeyFilter::Frequency:
            if (key != kEnterKey) return false;
            leaveForNull();
            return true;
        case KeyFilter::OneDecimal:
            if (key == kEnterKey) {
                leaveForNull();
                return true;
            }
            return !OneDecimalKeyPasses(text, key);
        case KeyFilter::TwoDecimal:
            if (key == kEnterKey) {  // takes the entry and stays in the field
                RunExit(edit, binding);
                return true;
            }
            return !TwoDecimalKeyPasses(text, key);
        case KeyFilter::Integer: {
            if (IntegerKeyPasses(key)) return false;
            if (key == kEnterKey) {
                leaveForNull();
                return true;
            }
            const FlagScope scope(reacting_);
            EditorAnswer refusal;
            refusal.Refuse(WarningMessage(kNumericOnlyText));
            refusal.Focus(edit->objectName().toStdString());
            Apply(refusal);
            return true;
        }
    }
    return false;
}

EditOutcome FieldEditors::ToneExit(ToneField field) {
    ReadEntryMode();
    CallPage page = ReadCallPage();
    return Apply(zr::ToneExit(form_.Image(), state_.tones, state_.settings.spacingTenths, page, field));
}

EditOutcome FieldEditors::FrequencyExit() {
    return Apply(zr::FrequencyExit(form_.Image(), state_.settings, ReadFrequencyControls()));
}

EditOutcome FieldEditors::NumericExit(const NumericField& field) {
    const QString text = Find<QLineEdit>(std::string(field.control).c_str())->text();
    return Apply(NumericFieldExit(form_.Image(), field, text.toStdString()));
}

EditOutcome FieldEditors::SquelchTableExit(std::size_t level, SquelchColumn column) {
    const char* family = column == SquelchColumn::SpeakerOff ? "edtSQL_OFF" : "edtSQL_ON";
    const QString text = form_.Member<QLineEdit>(family, static_cast<int>(level))->text();
    return Apply(SquelchTableFieldExit(form_.Image(), form_.SquelchLevels(), level, column, text.toStdString(),
                                ReadControls().Selected("cboSQL")));
}

// ---- the tone table

bool FieldEditors::ToneFieldDoubleClicked(ToneField field) {
    ReadEntryMode();
    if (state_.tones.mode != ToneEntryMode::Standard) return false;
    state_.tones.currentToneField = field;
    OpenToneTable();
    return true;
}

void FieldEditors::OpenToneTableFromKey() {
    ReadEntryMode();
    const auto current = state_.tones.currentToneField;
    if (state_.tones.mode != ToneEntryMode::Standard || !current) return;
    // A greyed field takes no tone: Write Mode, or a call switched off since the field was current.
    if (!Control(ToneControlName(*current))->isEnabled()) return;
    OpenToneTable();
}

// Every way out of the table picks its current tone; the field takes it as if typed and left.
void FieldEditors::OpenToneTable() {
    const FlagScope scope(reacting_);
    const QString picked = pickTone_();
    const auto target = state_.tones.currentToneField;
    if (!target) return;
    EditorAnswer pick;
    pick.Text(ToneControlName(*target), picked.toStdString());
    Apply(pick);
    ToneExit(*target);
    state_.tones.currentToneField.reset();
}

void FieldEditors::ForgetCurrentToneField() { state_.tones.currentToneField.reset(); }

// ---- check boxes and lists

void FieldEditors::ConnectCheckBox(QCheckBox* box, std::function<EditorAnswer(bool)> click) {
    // A box runs its handler whenever its state changes, from a click or from the load.
    connect(box, &QCheckBox::toggled, this, [this, click = std::move(click)](bool checked) {
        const FlagScope scope(reacting_);
        Apply(click(checked));
    });
}

void FieldEditors::ConnectCheckBoxes() {
    for (const std::string& name : EditorCheckBoxes())
        ConnectCheckBox(Find<QCheckBox>(name.c_str()), [this, name](bool on) {
            ReadEntryMode();
            return CheckBoxClick(form_.Image(), state_, ReadControls(), name, on);
        });
}

void FieldEditors::ConnectList(const char* name, std::function<EditorAnswer(std::size_t)> pick) {
    // Only a user's pick runs the handler; the load selects items without it.
    connect(Find<QComboBox>(name), &QComboBox::activated, this, [this, pick = std::move(pick)](int index) {
        if (index < 0) return;
        const FlagScope scope(reacting_);
        Apply(pick(static_cast<std::size_t>(index)));
    });
}

void FieldEditors::ConnectLists() {
    PagerImage& image = form_.Image();
    ConnectList("cboRangeFreq", [this, &image](std::size_t item) { return BandClick(image, state_.settings, item); });
    ConnectList("cboCSpace", [this, &image](std::size_t) {
        return ChannelSpacingClick(image, state_.settings, ReadFrequencyControls());
    });
    ConnectList("cboBandWidth",
                [this, &image](std::size_t item) { return DecoderBandwidthClick(image, state_.settings, item); });
    ConnectList("cboResetCon", [&image](std::size_t item) { return ResetControlClick(image, item); });
    ConnectList("cboReminder", [&image](std::size_t item) { return ReminderClick(image, item); });
    ConnectList("cboRecordMax", [&image](std::size_t item) { return RecordSectionsClick(image, item); });
    ConnectList("cboPTL", [&image](std::size_t item) { return PushToListenClick(image, item); });
    ConnectList("cboBatteryLow", [&image](std::size_t item) { return LowBatteryClick(image, item); });
    ConnectList("cboPeriodBat", [&image](std::size_t item) { return LowBatteryReminderClick(image, item); });
    ConnectList("cboSQL",
                [this, &image](std::size_t item) { return SquelchLevelClick(image, form_.SquelchLevels(), item); });
}

// ---- loading the image

void FieldEditors::LoadImageIntoEditor() {
    const FlagScope scope(reacting_);
    ReadEntryMode();
    EditorControls controls = ReadControls();
    Apply(zr::LoadImageIntoEditor(form_.Image(), state_, controls, form_.SquelchLevels()));
}

void FieldEditors::ShowToneFields(ToneKind kind) {
    CallPage page = ReadCallPage();
    Apply(zr::ShowToneFields(form_.Image(), state_.tones, page, kind));
}

// ---- the controls as the rules read them

EditorControls FieldEditors::ReadControls() const {
    EditorControls controls;
    for (auto control = controls_.cbegin(); control != controls_.cend(); ++control) {
        const std::string name = control.key().toStdString();
        if (const auto* box = qobject_cast<QCheckBox*>(control.value())) {
            controls.checked[name] = box->isChecked();
        } else if (const auto* list = qobject_cast<QComboBox*>(control.value())) {
            const int index = list->currentIndex();
            controls.lists[name] = {static_cast<std::size_t>(list->count()),
                                    index < 0 ? std::nullopt : std::optional<std::size_t>(index)};
        } else if (const auto* edit = qobject_cast<QLineEdit*>(control.value())) {
            controls.texts[name] = edit->text().toStdString();
            if (edit->maxLength() < kNoLengthLimit) controls.maxLengths[name] = static_cast<std::size_t>(edit->maxLength());
        }
    }
    return controls;
}

CallPage FieldEditors::ReadCallPage() const { return CallPageOf(ReadControls()); }

FrequencyControls FieldEditors::ReadFrequencyControls() const { return FrequencyControlsOf(ReadControls()); }

void FieldEditors::ReadEntryMode() {
    state_.tones.mode = Find<QRadioButton>("radStandard")->isChecked() ? ToneEntryMode::Standard : ToneEntryMode::User;
}

// ---- applying an answer

QWidget* FieldEditors::Control(const std::string& name) { return controls_.value(QString::fromStdString(name)); }

EditOutcome FieldEditors::Apply(const EditorAnswer& answer) {
    for (const EditorStep& step : answer.steps) {
        if (const auto* message = std::get_if<ShowMessage>(&step)) {
            form_.ShowMessageBox(message->message);
            continue;
        }
        QWidget* control = Control(ControlNameOf(step));
        if (control == nullptr) continue;
        const QSignalBlocker blocker(control);
        if (const auto* text = std::get_if<SetText>(&step)) {
            if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->setText(ToQString(text->text));
            else if (auto* label = qobject_cast<QLabel*>(control)) label->setText(ToQString(text->text));
        } else if (const auto* items = std::get_if<SetItems>(&step)) {
            auto* list = qobject_cast<QComboBox*>(control);
            list->clear();
            for (const auto& item : items->items) list->addItem(ToQString(item));
        } else if (const auto* selection = std::get_if<SetSelection>(&step)) {
            auto* list = qobject_cast<QComboBox*>(control);
            const bool listed = selection->item && *selection->item < static_cast<std::size_t>(list->count());
            list->setCurrentIndex(listed ? static_cast<int>(*selection->item) : -1);
        } else if (const auto* box = std::get_if<SetChecked>(&step)) {
            qobject_cast<QCheckBox*>(control)->setChecked(box->checked);
        } else if (const auto* enabled = std::get_if<SetEnabled>(&step)) {
            control->setEnabled(enabled->enabled);
        } else if (const auto* visible = std::get_if<SetVisible>(&step)) {
            control->setVisible(visible->visible);
        } else if (std::holds_alternative<SetFocus>(step)) {
            // A field left by Tab hands the focus on to the next control, never to the focus sink:
            // from there the next Tab would start the page again, and no later control is reached.
            if (control == Control("edtNull") && form_.Focus().IsLeavingByTab()) continue;
            // The focus goes back, or stays, where the user must correct the entry. This is no new
            // enter of that field (its entry stays as typed) and no exit of the control the focus
            // had just reached.
            control->setFocus(Qt::ActiveWindowFocusReason);
        }
    }
    return answer.outcome;
}

}  // namespace zr::gui

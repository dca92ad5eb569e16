// The field editors of the main window: the handlers of every edit, check box and list that edits
// the image, and the load of the image into the window. A handler reads its controls, asks the
// editing rules, and applies their answer to the controls step by step; the rules hold every
// decision, the window only shows it.
#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "editor_answer.h"
#include "editor_load.h"
#include "editor_state.h"
#include "frequency_rules.h"
#include "numeric_fields.h"
#include "squelch_levels.h"
#include "tone_entry.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QWidget;

namespace zr::gui {

class EditorWindow;

class FieldEditors : public QObject {
    Q_OBJECT

public:
    // `pickTone` shows the tone table modally and returns the text of the tone picked there.
    FieldEditors(EditorWindow& form, std::function<QString()> pickTone, QObject* parent);

    // Shows the whole image in the window, running the handlers whose dependent state a load rebuilds.
    void LoadImageIntoEditor();
    // The stored tones of one kind shown again (and remembered for the tone spacing rule).
    void ShowToneFields(ToneKind kind);
    // The mouse over the window: no tone field is the target of F9 and of the tone table any more.
    void ForgetCurrentToneField();
    // F9: the tone table for the current tone field, in Standard Mode.
    void OpenToneTableFromKey();

    const EditorState& State() const { return state_; }

    // Applies the steps of an answer in order, each control's own handlers blocked.
    EditOutcome Apply(const EditorAnswer& answer);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // How an edit takes the characters typed into it.
    enum class KeyFilter {
        Frequency,   // everything passes; Enter leaves the field
        Integer,     // digits; Enter leaves the field; any other character is refused with a message
        OneDecimal,  // digits, one point and one decimal; Enter leaves the field
        TwoDecimal,  // digits, one point and two decimals; Enter takes the entry and stays
    };
    struct EditBinding {
        KeyFilter keys = KeyFilter::Frequency;
        std::optional<ToneField> tone;  // tone fields have their own enter, exit and double click
        std::function<EditOutcome()> exit;  // for the other edits: emptied on enter, this on exit
    };

    void BindEdits();
    void BindToneField(ToneField field);
    void BindNumericField(const NumericField& field);
    void BindSquelchTableField(std::size_t level, SquelchColumn column);
    void ConnectCheckBoxes();
    void ConnectLists();
    void ConnectCheckBox(QCheckBox* box, std::function<EditorAnswer(bool)> click);
    void ConnectList(const char* name, std::function<EditorAnswer(std::size_t)> pick);

    void FieldEntered(QWidget* widget);
    void FieldExited(QWidget* widget);
    void RunExit(QLineEdit* edit, const EditBinding& binding);
    void EnterWhereTheFocusWent(QLineEdit* left);
    bool IsMouseOverARefusedEntry(QLineEdit* edit) const;
    void KeepTheFocus(QLineEdit* edit);
    bool KeyPressed(QLineEdit* edit, const EditBinding& binding, char key);
    bool ToneFieldDoubleClicked(ToneField field);
    void OpenToneTable();

    EditOutcome ToneExit(ToneField field);
    EditOutcome FrequencyExit();
    EditOutcome NumericExit(const NumericField& field);
    EditOutcome SquelchTableExit(std::size_t level, SquelchColumn column);

    // The controls as the rules read them.
    EditorControls ReadControls() const;
    CallPage ReadCallPage() const;
    FrequencyControls ReadFrequencyControls() const;
    void ReadEntryMode();

    QWidget* Control(const std::string& name);
    template <class Widget>
    Widget* Find(const char* name) {
        return qobject_cast<Widget*>(Control(name));
    }

    EditorWindow& form_;
    std::function<QString()> pickTone_;
    EditorState state_;
    QHash<QString, QWidget*> controls_;
    QHash<QLineEdit*, EditBinding> edits_;
    // True while a handler runs: the focus moves it makes (a field greyed under the focus, the focus
    // given back to a refused field) are neither enters nor exits of a field.
    bool reacting_ = false;
    // True while Enter leaves a field for edtNull.
    bool leavingByEnter_ = false;
    // The entry that was last refused with the focus given back, as it stands in its field.
    struct RefusedEntry {
        QLineEdit* field = nullptr;
        QString text;
    };
    std::optional<RefusedEntry> refused_;
};

}  // namespace zr::gui

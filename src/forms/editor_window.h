// What the field editors need of the window they edit in, and nothing more: the image and the
// squelch level table they edit, its controls by name and by family, the enter and exit of its
// fields, and its message boxes. The main window provides it; the editors know no more of it.
#pragma once

#include <QString>

#include "field_focus.h"
#include "message.h"
#include "pager_image.h"
#include "squelch_levels.h"

class QWidget;

namespace zr::gui {

class EditorWindow {
public:
    virtual PagerImage& Image() = 0;
    virtual SquelchLevelTable& SquelchLevels() = 0;
    // The area holding every control the editors address by its object name.
    virtual QWidget* EditorControls() = 0;
    // The member of a control family by its index (Tag); null when the family has no such member.
    virtual QWidget* FamilyMember(const QString& family, int index) const = 0;
    // Enter and exit of every edit, as the field editors hear them.
    virtual FieldFocus& Focus() = 0;
    // A message box through the program's seam.
    virtual MessageAnswer ShowMessageBox(const Message& message) = 0;

    // Member<QLineEdit>("edtT1", 2) is edtT12.
    template <class Control>
    Control* Member(const QString& family, int index) const {
        return qobject_cast<Control*>(FamilyMember(family, index));
    }

protected:
    ~EditorWindow() = default;
};

}  // namespace zr::gui

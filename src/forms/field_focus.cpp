#include "field_focus.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QWidget>

namespace zr::gui {

bool IsFieldExit(Qt::FocusReason reason) {
    switch (reason) {
        case Qt::ActiveWindowFocusReason:  // another window became active (message box, dialog)
        case Qt::PopupFocusReason:         // a list or context menu opened
        case Qt::MenuBarFocusReason:       // the menu bar took the keyboard
            return false;
        default:
            return true;
    }
}

void FieldFocus::Watch(QWidget* field) { field->installEventFilter(this); }

bool FieldFocus::IsMenuShortcut(const QEvent* event) const {
    const auto* key = static_cast<const QKeyEvent*>(event);
    const QKeySequence pressed(key->keyCombination());
    for (const QKeySequence& shortcut : menuShortcuts_)
        if (shortcut.matches(pressed) == QKeySequence::ExactMatch) return true;
    return false;
}

bool FieldFocus::eventFilter(QObject* watched, QEvent* event) {
    auto* field = qobject_cast<QWidget*>(watched);
    if (field == nullptr) return false;
    switch (event->type()) {
        case QEvent::FocusIn:
            if (IsFieldExit(static_cast<QFocusEvent*>(event)->reason())) emit entered(field);
            break;
        case QEvent::FocusOut: {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (!IsFieldExit(reason) || !field->isEnabled()) break;
            leavingByTab_ = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
            emit exited(field);
            leavingByTab_ = false;
            break;
        }
        case QEvent::ShortcutOverride:
            if (IsMenuShortcut(event)) {
                event->ignore();  // the shortcut goes to the menu, not into the field
                return true;
            }
            break;
        default:
            break;
    }
    return false;
}

}  // namespace zr::gui

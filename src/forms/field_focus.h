// When a field of the main window is entered and left. A field is left ("exit") only when the focus
// moves to another control of the same window: by Tab, a click, a key that moves it, or the window
// moving it (the mouse over the window parks it on edtNull). A message box or another window
// opening takes the focus too, but the field is not left: it still has the focus inside its window
// when that window becomes active again. A field that loses the focus because it or the window was
// greyed is not left either.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>

class QWidget;

namespace zr::gui {

// True when losing the focus for this reason ends the editing of a field.
bool IsFieldExit(Qt::FocusReason reason);

class FieldFocus : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Reports the enter and exit of this control from now on.
    void Watch(QWidget* field);
    // Keys that belong to the window's menus: a field never takes them for its own editing (a line
    // edit would take Ctrl+E as "end of line" on some desktops), so they reach their menu items.
    void SetMenuShortcuts(QList<QKeySequence> shortcuts) { menuShortcuts_ = std::move(shortcuts); }
    // True while the exit being reported is a Tab or Shift+Tab on to the next control.
    bool IsLeavingByTab() const { return leavingByTab_; }

signals:
    void entered(QWidget* field);
    void exited(QWidget* field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsMenuShortcut(const QEvent* event) const;

    QList<QKeySequence> menuShortcuts_;
    bool leavingByTab_ = false;
};

}  // namespace zr::gui

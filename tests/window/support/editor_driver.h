// Drives the main window's field editors as a technician does: a click into a field, keys typed,
// the field left by a click elsewhere; check boxes clicked, list items picked, the tone table used.
#pragma once

#include <QPoint>
#include <QString>
#include <functional>

#include "pager_image.h"
#include "window_harness.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTableWidget;
class ToneTableDialog;

namespace zr::test {

class EditorDriver {
public:
    explicit EditorDriver(StartedWindow& started) : started_(started) {}

    QLineEdit* Edit(const char* name) const;
    QCheckBox* Box(const char* name) const;
    QComboBox* List(const char* name) const;

    // A mouse click into the field: it gets the focus as by the mouse.
    void Enter(const char* field);
    // Keys typed into the focused control, one by one.
    void Type(const QString& text);
    void Key(Qt::Key key);
    // The focused field is left by a click on the window's one-pixel focus sink.
    void Leave();
    // Enter, type, leave.
    void Entry(const char* field, const QString& text);

    // A mouse click on the box.
    void Click(const char* box);
    // The user picks the item with this text, as from the open list.
    void Pick(const char* list, const QString& item);
    void UseStandardMode();
    void UseUserMode();

    // The image replaced and shown as every load ends (Open, Read, the default table).
    void Load(const PagerImage& image);

    // Runs `act` on the tone table once it is on screen (it is modal: arm this before opening it).
    void OnToneTable(std::function<void(ToneTableDialog& table, QTableWidget& grid)> act);
    // A double click on the tone of `group` (1..14), digit 0..9.
    static void DoubleClickTone(QTableWidget& grid, int group, int digit);
    static void DoubleClick(QWidget* widget, QPoint at);
    void DoubleClickField(const char* field);

    QWidget* Focused() const;
    PagerImage& Image() const;

    void ShowPageOf(QWidget* control);

private:
    StartedWindow& started_;
};

}  // namespace zr::test

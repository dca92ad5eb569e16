#include "editor_driver.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "tone_table_dialog.h"

namespace zr::test {

QLineEdit* EditorDriver::Edit(const char* name) const { return started_.Find<QLineEdit>(name); }
QCheckBox* EditorDriver::Box(const char* name) const { return started_.Find<QCheckBox>(name); }
QComboBox* EditorDriver::List(const char* name) const { return started_.Find<QComboBox>(name); }

// The page that holds the control comes to the front first, as the technician would bring it.
void EditorDriver::ShowPageOf(QWidget* control) {
    auto* pages = started_.Find<QTabWidget>("PageControl1");
    for (QWidget* inner = control; inner != nullptr; inner = inner->parentWidget())
        if (const int page = pages->indexOf(inner); page >= 0) pages->setCurrentIndex(page);
}

void EditorDriver::Enter(const char* field) {
    ShowPageOf(Edit(field));
    QTest::mouseClick(Edit(field), Qt::LeftButton);
}

void EditorDriver::Type(const QString& text) { QTest::keyClicks(Focused(), text); }

void EditorDriver::Key(Qt::Key key) { QTest::keyClick(Focused(), key); }

// A click elsewhere in the window; the one-pixel sink can be too small to be hit by a real click.
void EditorDriver::Leave() { Edit("edtNull")->setFocus(Qt::MouseFocusReason); }

void EditorDriver::Entry(const char* field, const QString& text) {
    Enter(field);
    Type(text);
    Leave();
}

void EditorDriver::Click(const char* box) {
    QCheckBox* target = Box(box);
    ShowPageOf(target);
    ClickMark(target);
}

void EditorDriver::Pick(const char* list, const QString& item) {
    QComboBox* target = List(list);
    const int index = target->findText(item);
    QVERIFY2(index >= 0, qPrintable(item));
    target->setCurrentIndex(index);
    emit target->activated(index);
}

void EditorDriver::UseStandardMode() { ClickMark(started_.Find<QRadioButton>("radStandard")); }
void EditorDriver::UseUserMode() { ClickMark(started_.Find<QRadioButton>("radUser")); }

void EditorDriver::Load(const PagerImage& image) {
    started_->Image() = image;
    started_->FinishImageLoad();
}

void EditorDriver::OnToneTable(std::function<void(ToneTableDialog& table, QTableWidget& grid)> act) {
    QTimer::singleShot(0, &started_.window(), [this, act = std::move(act)] {
        auto* table = started_.window().findChild<ToneTableDialog*>();
        QVERIFY(table != nullptr && table->isVisible());
        act(*table, *table->findChild<QTableWidget*>("StringGrid1"));
    });
}

// A double click as the window system delivers it: a click, then the second press as a double click.
void EditorDriver::DoubleClick(QWidget* widget, QPoint at) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
}

void EditorDriver::DoubleClickTone(QTableWidget& grid, int group, int digit) {
    DoubleClick(grid.viewport(), grid.visualItemRect(grid.item(digit + 1, group)).center());
}

void EditorDriver::DoubleClickField(const char* field) {
    ShowPageOf(Edit(field));
    DoubleClick(Edit(field), Edit(field)->rect().center());
}

QWidget* EditorDriver::Focused() const { return QApplication::focusWidget(); }

PagerImage& EditorDriver::Image() const { return started_->Image(); }

}  // namespace zr::test

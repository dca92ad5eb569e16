// The field editors of the main window: how each field shows the image and takes an entry. The
// handlers themselves live in FieldEditors; the window hands them its tone table.
#include "field_editors.h"
#include "tone_table_dialog.h"
#include "ui_main_window.h"
#include "main_window.h"

void MainWindow::ConnectFieldEditors() {
    const auto pickTone = [this] {
        const QString tone = toneTable_->PickTone();
        ReactivateAfterModal();
        return tone;
    };
    editors_ = new zr::gui::FieldEditors(*this, pickTone, this);
}

void MainWindow::LoadImageIntoEditor() {
    editors_->LoadImageIntoEditor();
    // The load enables the controls of the calls and options it shows; Write Mode keeps every
    // editor greyed all the same.
    if (ui->RBtWrite->isChecked()) RBtWriteClick();
}

void MainWindow::ShowTone1Fields() { editors_->ShowToneFields(zr::ToneKind::Tone1); }

void MainWindow::ShowTone2Fields() { editors_->ShowToneFields(zr::ToneKind::Tone2); }

// The mouse over the window: no tone field is the target of F9 and of the tone table any more.
void MainWindow::ForgetCurrentToneField() { editors_->ForgetCurrentToneField(); }

// F9 in the window: the tone table for the current tone field, in Standard Mode.
void MainWindow::OpenToneTableFromKey() { editors_->OpenToneTableFromKey(); }

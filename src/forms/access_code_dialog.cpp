#include "access_code_dialog.h"

#include <QShowEvent>

#include "message_boxes.h"
#include "ui_access_code_dialog.h"

AccessCodeDialog::AccessCodeDialog(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::AccessCodeDialog>()) {
    ui_->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(size());
    ui_->edtPwd->installEventFilter(this);
    // Enter in the code field presses the default button, OK.
    connect(ui_->btnOK, &QPushButton::clicked, this, &AccessCodeDialog::btnOKClick);
    connect(ui_->btnCancel, &QPushButton::clicked, this, &AccessCodeDialog::reject);
}

AccessCodeDialog::~AccessCodeDialog() = default;

void AccessCodeDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;  // the window system showing it again, not a new opening
    access_.StartOpening();
    ui_->edtPwd->setFocus();
}

// The code field is emptied whenever it gets the focus, so a code is always typed afresh.
bool AccessCodeDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->edtPwd && event->type() == QEvent::FocusIn) ui_->edtPwd->clear();
    return QDialog::eventFilter(watched, event);
}

void AccessCodeDialog::btnOKClick() {
    const std::string entry = ui_->edtPwd->text().toStdString();
    ui_->edtPwd->setText(QString::fromStdString(zr::UpperCaseEntry(entry)));
    const auto verdict = access_.Check(entry);
    if (verdict == zr::AdvanceVerdict::Unlocked) {
        emit advancePageUnlocked();
        accept();
        return;
    }
    zr::gui::ShowMessage(this, zr::AdvanceCodeRefusedMessage());
    ui_->edtPwd->clear();
    ui_->edtPwd->setFocus();
    if (verdict == zr::AdvanceVerdict::Locked) {
        emit advancePageLocked();
        reject();
    }
}

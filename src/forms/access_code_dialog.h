// The access code dialog of the "Advance Setting" page. The right code unlocks the page for the
// rest of the run; three wrong codes in one opening lock it again.
#pragma once

#include <QDialog>
#include <memory>

#include "advance_access.h"

namespace Ui {
class AccessCodeDialog;
}

class AccessCodeDialog : public QDialog {
    Q_OBJECT

public:
    explicit AccessCodeDialog(QWidget* parent = nullptr);
    ~AccessCodeDialog() override;

signals:
    // The right code was entered: show the page's tab and retire the Advance menu item.
    void advancePageUnlocked();
    // The third wrong code of this opening: hide the page's tab and keep the menu item.
    void advancePageLocked();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void btnOKClick();

    std::unique_ptr<Ui::AccessCodeDialog> ui_;
    zr::AdvanceAccess access_;
};

// The access code dialog of the "Advance Setting" page. The right code unlocks the page for the
// rest of the run; three wrong codes in one opening lock it again.
#pragma once

#include <QDialog>
#include <memory>

#include "advance_access.h"

namespace Ui {
class TForm4;
}

class TForm4 : public QDialog {
    Q_OBJECT

public:
    explicit TForm4(QWidget* parent = nullptr);
    ~TForm4() override;

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

    std::unique_ptr<Ui::TForm4> ui_;
    zr::AdvanceAccess access_;
};

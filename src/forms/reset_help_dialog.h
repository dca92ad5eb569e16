// The reset function help: what each of the six reset control modes of the "Setting" page does.
// A borderless window, closed with OK.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class ResetHelpDialog;
}

class ResetHelpDialog : public QDialog {
    Q_OBJECT

public:
    explicit ResetHelpDialog(QWidget* parent = nullptr);
    ~ResetHelpDialog() override;

private:
    std::unique_ptr<Ui::ResetHelpDialog> ui_;
};

// The reset function help: what each of the six reset control modes of the "Setting" page does.
// A borderless window, closed with OK.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TfrmHelp;
}

class TfrmHelp : public QDialog {
    Q_OBJECT

public:
    explicit TfrmHelp(QWidget* parent = nullptr);
    ~TfrmHelp() override;

private:
    std::unique_ptr<Ui::TfrmHelp> ui_;
};

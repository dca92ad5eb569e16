// The about box: product name, version, the legal notice and where to read more about the program.
#pragma once

#include <QDialog>
#include <QUrl>
#include <memory>

class QLabel;

namespace Ui {
class TAboutBox;
}

class TAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox(QWidget* parent = nullptr);
    ~TAboutBox() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Makes the label a link: blue, underlined, a hand cursor, and the address opened on a click.
    void MakeLink(QLabel* label, const QUrl& address);

    std::unique_ptr<Ui::TAboutBox> ui_;
};

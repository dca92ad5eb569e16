// The notice shown while the start-up check looks for the programming interface board on every
// serial port: a small frameless window over the main window, with no buttons.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class BoardCheckNotice;
}

class BoardCheckNotice : public QDialog {
    Q_OBJECT

public:
    explicit BoardCheckNotice(QWidget* parent = nullptr);
    ~BoardCheckNotice() override;

    // Shows the notice without making it modal, centred over the main window and on top, and
    // returns once it has been painted: the board scan that follows keeps the window busy for
    // seconds. close() hides it again.
    void ShowNotice();

protected:
    void paintEvent(QPaintEvent* event) override;
    // The main window may be maximised or moved by the window manager after the notice is up.
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void painted();

private:
    // Centred by hand: the dialog's own placement allows for a title bar the notice does not have.
    void CentreOverTheWindow();

    std::unique_ptr<Ui::BoardCheckNotice> ui_;
};

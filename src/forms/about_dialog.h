// The about box: product name, version, the legal notice and where to read more about the program.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QString>
#include <QUrl>
#include <memory>

class QLabel;

namespace Ui {
class AboutDialog;
}

namespace zr::gui {
// The README of the program in this folder's build tree or install prefix; empty when there is none.
QString FindReadme(const QString& programFolder);
}

class AboutDialog : public QDialog {
    Q_OBJECT

public:
    // The homepage link opens the README found from `programFolder`; without one it is no link.
    explicit AboutDialog(QWidget* parent = nullptr, const QString& programFolder = QCoreApplication::applicationDirPath());
    ~AboutDialog() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Makes the label a link: blue, underlined, a hand cursor, and the address opened on a click.
    void MakeLink(QLabel* label, const QUrl& address);

    std::unique_ptr<Ui::AboutDialog> ui_;
};

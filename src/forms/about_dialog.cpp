#include "about_dialog.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMouseEvent>

#include "project_info.h"
#include "ui_about_dialog.h"

namespace {

constexpr char kLinkAddressProperty[] = "linkAddress";

void SetBold(QLabel* label, bool bold) {
    QFont font = label->font();
    font.setBold(bold);
    label->setFont(font);
}

}  // namespace

QString zr::gui::FindReadme(const QString& programFolder) {
    const QDir folder(programFolder);
    for (const char* candidate : zr::project::kReadmeFromProgramFolder) {
        const QString path = QDir::cleanPath(folder.absoluteFilePath(QString::fromLatin1(candidate)));
        if (QFileInfo(path).isFile()) return path;
    }
    return {};
}

AboutDialog::AboutDialog(QWidget* parent, const QString& programFolder)
    : QDialog(parent), ui_(std::make_unique<Ui::AboutDialog>()) {
    Q_INIT_RESOURCE(resources);
    ui_->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);

    ui_->ProductName->setText(zr::project::kProductName);
    QFont versionFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    versionFont.setBold(true);
    ui_->Version->setFont(versionFont);
    ui_->Version->setText(zr::project::kVersionText);
    ui_->Copyright->setText(zr::project::kLegalNotice);
    ui_->Image1->setPixmap(QPixmap(zr::project::kLogoResource));

    if (const QString readme = zr::gui::FindReadme(programFolder); !readme.isEmpty()) {
        ui_->lblUrl->setText(zr::project::kHomepageText);
        MakeLink(ui_->lblUrl, QUrl::fromLocalFile(readme));
    } else {
        ui_->lblUrl->setText(zr::project::kNoReadmeText);
    }
    const QString email = zr::project::kContactEmail;
    if (email.isEmpty()) {
        ui_->lblEmail->setText(zr::project::kNoContactEmailText);
    } else {
        ui_->lblEmail->setText(email);
        MakeLink(ui_->lblEmail, QUrl("mailto:" + email));
    }

    connect(ui_->OKButton, &QPushButton::clicked, this, &AboutDialog::accept);
}

AboutDialog::~AboutDialog() = default;

void AboutDialog::MakeLink(QLabel* label, const QUrl& address) {
    label->setProperty(kLinkAddressProperty, address);
    label->setToolTip(address.toDisplayString());
    label->setCursor(Qt::PointingHandCursor);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    label->setPalette(palette);
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    label->installEventFilter(this);
}

// The link under the mouse is bold and underlined, and underlined only once the mouse has left;
// a click hands its address to the desktop, which opens it with the user's default program.
bool AboutDialog::eventFilter(QObject* watched, QEvent* event) {
    auto* link = qobject_cast<QLabel*>(watched);
    if (link == nullptr) return QDialog::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::Enter: SetBold(link, true); break;
        case QEvent::Leave: SetBold(link, false); break;
        case QEvent::MouseButtonRelease: {
            const auto* click = static_cast<QMouseEvent*>(event);
            if (click->button() == Qt::LeftButton && link->rect().contains(click->position().toPoint()))
                QDesktopServices::openUrl(link->property(kLinkAddressProperty).toUrl());
            break;
        }
        default: break;
    }
    return QDialog::eventFilter(watched, event);
}

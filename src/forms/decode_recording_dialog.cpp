#include "decode_recording_dialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "sound_file.h"

namespace zr::gui {
namespace {

QString ToneText(const HeardTone& tone) {
    return QStringLiteral("%1 Hz, %2 s").arg(tone.hz, 0, 'f', 1).arg(tone.seconds, 0, 'f', 1);
}

QString MatchesText(const std::vector<PageMatch>& matches, bool alerts) {
    QStringList units;
    for (const PageMatch& match : matches) {
        if (match.alerts != alerts) continue;
        const QString call = QString::fromStdString(match.unit + " (" + match.call);
        units << (alerts ? call + QStringLiteral(")")
                         : call + QStringLiteral(", %1 % outside %2 %)")
                                      .arg(match.MissedByPercent(), 0, 'f', 2)
                                      .arg(match.bandwidthPercent, 0, 'f', 1));
    }
    return units.join(QStringLiteral(", "));
}

}  // namespace

DecodeRecordingDialog::DecodeRecordingDialog(std::vector<NamedImage> units, QWidget* parent)
    : QDialog(parent), units_(std::move(units)) {
    setObjectName(QStringLiteral("DecodeRecordingDialog"));
    setWindowTitle(tr("Decode Recording"));
    resize(760, 360);
    lblRecording_ = new QLabel(units_.empty() ? tr("No roster is loaded in File > Program a Fleet...: pages only.")
                                              : tr("Units judged: %1, from the roster in File > Program a Fleet...")
                                                    .arg(units_.size()),
                               this);
    lblRecording_->setObjectName(QStringLiteral("lblRecording"));
    lblRecording_->setWordWrap(true);
    grdPages_ = new QTableWidget(0, 5, this);
    grdPages_->setObjectName(QStringLiteral("grdPages"));
    grdPages_->setHorizontalHeaderLabels({tr("Start"), tr("Tone 1"), tr("Tone 2"), tr("Alerts"), tr("Nearly")});
    grdPages_->horizontalHeader()->setStretchLastSection(true);
    grdPages_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* open = new QPushButton(tr("&Open Recording..."), this);
    auto* close = new QPushButton(tr("&Close"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(open);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblRecording_);
    layout->addWidget(grdPages_);
    layout->addLayout(buttons);
    connect(open, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, tr("Decode Recording"), QString(),
                                                          tr("Sound files (*.wav *.flac *.ogg *.aiff *.au);;All files (*)"));
        if (!path.isEmpty()) Decode(path);
    });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

bool DecodeRecordingDialog::Decode(const QString& path) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto decoded = DecodeSoundFile(path.toStdString());
    QApplication::restoreOverrideCursor();
    grdPages_->setRowCount(0);
    if (const auto* failure = std::get_if<std::string>(&decoded)) {
        lblRecording_->setText(tr("Cannot decode %1: %2").arg(path, QString::fromStdString(*failure)));
        return false;
    }
    const DecodedRecording& recording = std::get<DecodedRecording>(decoded);
    lblRecording_->setText(tr("%1: %2 in %3 s%4")
                               .arg(path)
                               .arg(recording.pages.size() == 1 ? tr("1 page") : tr("%1 pages").arg(recording.pages.size()))
                               .arg(recording.seconds, 0, 'f', 1)
                               .arg(units_.empty() ? tr("; no roster is loaded in File > Program a Fleet...")
                                                   : tr("; %1 units judged").arg(units_.size())));
    for (const HeardPage& page : recording.pages) {
        const int row = grdPages_->rowCount();
        grdPages_->insertRow(row);
        const auto matches = MatchPage(page, units_);
        const QStringList cells{QStringLiteral("%1 s").arg(page.tone1.startSeconds, 0, 'f', 2), ToneText(page.tone1),
                                page.tone2 ? ToneText(*page.tone2) : tr("(group call)"), MatchesText(matches, true),
                                MatchesText(matches, false)};
        for (int column = 0; column < cells.size(); ++column)
            grdPages_->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    grdPages_->resizeColumnsToContents();
    return true;
}

}  // namespace zr::gui

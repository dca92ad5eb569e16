#include "test_page_dialog.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "sound_file.h"
#include "tone_entry.h"

namespace zr::gui {
namespace {

QString CallText(const Page& page) {
    QString text = QString::fromStdString(page.name) + QStringLiteral(": %1").arg(page.tone1Tenths / 10.0, 0, 'f', 1);
    if (page.tone2Tenths) text += QStringLiteral("/%1").arg(*page.tone2Tenths / 10.0, 0, 'f', 1);
    text += QStringLiteral(" Hz");
    if (!page.switchedOn) text += QStringLiteral(" (switched off)");
    return text;
}

}  // namespace

TestPageDialog::TestPageDialog(const PagerImage& image, QWidget* parent) : QDialog(parent), image_(image) {
    setObjectName(QStringLiteral("TestPageDialog"));
    setWindowTitle(tr("Test Page"));
    cboCall_ = new QComboBox(this);
    cboCall_->setObjectName(QStringLiteral("cboCall"));
    btnPlay_ = new QPushButton(tr("&Play"), this);
    btnPlay_->setObjectName(QStringLiteral("btnPlay"));
    btnStop_ = new QPushButton(tr("S&top"), this);
    btnStop_->setObjectName(QStringLiteral("btnStop"));
    btnStop_->setEnabled(false);
    btnSave_ = new QPushButton(tr("&Save As WAV..."), this);
    btnSave_->setObjectName(QStringLiteral("btnSave"));
    auto* close = new QPushButton(tr("&Close"), this);
    lblStatus_ = new QLabel(tr("Tone 1 for 1 s, then tone 2 for 3 s; a group call's tone for 8 s."), this);
    lblStatus_->setObjectName(QStringLiteral("lblStatus"));
    lblStatus_->setWordWrap(true);
    auto* label = new QLabel(tr("&Call:"), this);
    label->setBuddy(cboCall_);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {btnPlay_, btnStop_, btnSave_, close}) buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(cboCall_);
    layout->addLayout(buttons);
    layout->addWidget(lblStatus_);

    connect(btnPlay_, &QPushButton::clicked, this, &TestPageDialog::PlayClick);
    connect(btnStop_, &QPushButton::clicked, this, &TestPageDialog::StopClick);
    connect(btnSave_, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, tr("Save Test Page"), QString(),
                                                          tr("WAV sound (*.wav);;FLAC sound (*.flac)"));
        if (!path.isEmpty()) SaveTo(path);
    });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(&player_, &PagePlayer::Finished, this, &TestPageDialog::PlayingEnded);
    connect(this, &QDialog::finished, &player_, &PagePlayer::Stop);
    ShowCalls();
}

void TestPageDialog::showEvent(QShowEvent* event) {
    ShowCalls();
    QDialog::showEvent(event);
}

void TestPageDialog::ShowCalls() {
    const int selected = std::max(cboCall_->currentIndex(), 0);
    cboCall_->clear();
    for (unsigned c = 1; c <= kCalls; ++c) cboCall_->addItem(CallText(PageOfCall(image_, c)));
    for (unsigned g = 1; g <= kGroupCalls; ++g) cboCall_->addItem(CallText(PageOfGroupCall(image_, g)));
    cboCall_->setCurrentIndex(selected);
}

Page TestPageDialog::SelectedPage() const {
    const auto index = static_cast<unsigned>(std::max(cboCall_->currentIndex(), 0));
    return index < kCalls ? PageOfCall(image_, index + 1) : PageOfGroupCall(image_, index - kCalls + 1);
}

void TestPageDialog::PlayClick() {
    ShowCalls();
    const Page page = SelectedPage();
    const std::vector<float> samples = MakePageSignal({page}, timing_);
    if (const auto refused = player_.Play(samples, timing_.rate)) {
        lblStatus_->setText(tr("Cannot play: %1").arg(*refused));
        return;
    }
    btnPlay_->setEnabled(false);
    btnStop_->setEnabled(true);
    lblStatus_->setText(tr("Playing %1%2").arg(CallText(page),
                                               page.switchedOn ? QString() : tr(": the pager would not alert")));
}

void TestPageDialog::StopClick() { player_.Stop(); }

void TestPageDialog::PlayingEnded(const QString& error) {
    btnPlay_->setEnabled(true);
    btnStop_->setEnabled(false);
    lblStatus_->setText(error.isEmpty() ? tr("Played.") : tr("Cannot play: %1").arg(error));
}

bool TestPageDialog::SaveTo(const QString& path) {
    ShowCalls();
    const Page page = SelectedPage();
    const auto failure = WriteSoundFile(path.toStdString(), MakePageSignal({page}, timing_), timing_.rate);
    lblStatus_->setText(failure ? tr("Cannot save %1: %2").arg(path, QString::fromStdString(*failure))
                                : tr("Saved %1 as %2").arg(CallText(page), path));
    return !failure;
}

}  // namespace zr::gui

#include "board_check_notice.h"

#include <QEventLoop>
#include <QTimer>

#include "ui_board_check_notice.h"

namespace {

// How long the notice waits for the window system to show it before the scan starts anyway.
constexpr int kFirstPaintWaitMs = 500;

// The notice keeps its size; a large title font that would not fit is made smaller.
void FitTitleToNotice(QLabel* title) {
    QFont font = title->font();
    while (font.pointSize() > 8 && QFontMetrics(font).horizontalAdvance(title->text()) > title->width())
        font.setPointSize(font.pointSize() - 1);
    title->setFont(font);
}

}  // namespace

BoardCheckNotice::BoardCheckNotice(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::BoardCheckNotice>()) {
    Q_INIT_RESOURCE(resources);
    ui_->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(size());
    setModal(false);
    FitTitleToNotice(ui_->Label2);
}

BoardCheckNotice::~BoardCheckNotice() = default;

void BoardCheckNotice::CentreOverTheWindow() {
    if (const auto* mainWindow = parentWidget()) move(mainWindow->window()->frameGeometry().center() - rect().center());
}

bool BoardCheckNotice::eventFilter(QObject* watched, QEvent* event) {
    if (isVisible() && (event->type() == QEvent::Resize || event->type() == QEvent::Move)) CentreOverTheWindow();
    return QDialog::eventFilter(watched, event);
}

void BoardCheckNotice::ShowNotice() {
    QEventLoop untilPainted;
    const auto connection = connect(this, &BoardCheckNotice::painted, &untilPainted, &QEventLoop::quit);
    QTimer::singleShot(kFirstPaintWaitMs, &untilPainted, &QEventLoop::quit);
    CentreOverTheWindow();
    if (auto* mainWindow = parentWidget()) mainWindow->window()->installEventFilter(this);
    show();
    raise();
    update();  // a paint is due even when the notice was already up
    untilPainted.exec(QEventLoop::ExcludeUserInputEvents);
    disconnect(connection);
}

void BoardCheckNotice::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    emit painted();
}

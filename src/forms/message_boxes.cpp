#include "message_boxes.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QString>

namespace zr::gui {

namespace {

MessageHandler& CurrentHandler() {
    static MessageHandler handler;
    return handler;
}

QMessageBox::Icon IconOf(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Warning: return QMessageBox::Warning;
        case MessageIcon::Stop: return QMessageBox::Critical;
        case MessageIcon::Information: return QMessageBox::Information;
        case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

// Room for the caption and the title bar's buttons: a box sized for a short text alone would have
// its caption squeezed by the window manager to a letter or two ("Z… o").
constexpr int kTitleBarButtonsWidth = 120;

void MakeRoomForTheCaption(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) return;
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int width = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kTitleBarButtonsWidth;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

MessageAnswer ShowRealBox(QWidget* parent, const Message& message) {
    QMessageBox box(IconOf(message.icon), QString::fromStdString(message.caption),
                    QString::fromStdString(message.text), QMessageBox::NoButton, parent);
    MakeRoomForTheCaption(box);
    if (message.buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MessageAnswer::Ok;
}

}  // namespace

MessageAnswer ShowMessage(QWidget* parent, const Message& message) {
    if (CurrentHandler()) return CurrentHandler()(parent, message);
    return ShowRealBox(parent, message);
}

MessageHandler SetMessageHandler(MessageHandler handler) {
    MessageHandler previous = std::move(CurrentHandler());
    CurrentHandler() = std::move(handler);
    return previous;
}

}  // namespace zr::gui

#include "message_boxes.h"

#include <QMessageBox>
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

MessageAnswer ShowRealBox(QWidget* parent, const Message& message) {
    QMessageBox box(IconOf(message.icon), QString::fromStdString(message.caption),
                    QString::fromStdString(message.text), QMessageBox::NoButton, parent);
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

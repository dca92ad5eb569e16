#include "application.h"

#include <QWidget>
#include <exception>

#include "message.h"
#include "message_boxes.h"

namespace zr::shell {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("zr250pro"));
    // The window title is the application title already; Qt then adds nothing to it.
    setApplicationDisplayName(QString::fromUtf8(kApplicationTitle.data(), kApplicationTitle.size()));
    setApplicationVersion(QStringLiteral("1.0.7"));
    setDesktopFileName(QStringLiteral("zr250pro"));
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ReportHandlerError(error.what());
    } catch (...) {
        ReportHandlerError("Unknown error.");
    }
    return false;
}

void ReportHandlerError(const char* text) {
    QWidget* window = QApplication::activeWindow();
    gui::ShowMessage(window, Message{std::string(kApplicationTitle), text, MessageIcon::Stop, MessageButtons::Ok});
    if (window != nullptr) window->activateWindow();
}

}  // namespace zr::shell

#include "application.h"

#include <QWidget>
#include <exception>

#include "message.h"
#include "message_boxes.h"

namespace zr::shell {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("zr250pro"));
    // No display name: the window system would append it to every caption ("ZR250Pro — ZR250Pro
    // V1.0.7"), and each box and dialog carries exactly its own caption.
    setApplicationVersion(QStringLiteral(ZR250PRO_VERSION));
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

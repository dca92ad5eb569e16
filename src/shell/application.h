// The Qt application of the window program. An error that escapes an event handler is shown in a
// message box with its text, and the program goes on running.
#pragma once

#include <QApplication>

namespace zr::shell {

class Application : public QApplication {
    Q_OBJECT

public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

// The message box for an error that escaped a handler: the error's text under the application title.
void ReportHandlerError(const char* text);

}  // namespace zr::shell

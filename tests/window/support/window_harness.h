// What the main window's tests share: every message box recorded and answered, the file dialogs
// answered, and a started main window on a port list of the test's choice in a folder of its own.
#pragma once

#include <QTemporaryDir>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "comm_port.h"
#include "message.h"
#include "message_boxes.h"
#include "table_file_dialogs.h"

class QWidget;
class MainWindow;

namespace zr::test {

// Records every message box instead of showing it. Yes/No questions get the queued answers (Yes
// when none is queued); `onMessage` runs while the box would be on screen.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    std::vector<Message> messages;
    std::deque<MessageAnswer> answers;
    std::function<void(const Message&)> onMessage;

    std::vector<std::string> Texts() const;
    void Clear() { messages.clear(); }

private:
    gui::MessageHandler previous_;
};

// Answers the File menu's dialogs with queued choices (nothing queued: the user cancels) and
// records what each dialog was asked to show.
class FileDialogAnswers {
public:
    struct Request {
        gui::TableFileDialogKind kind;
        std::filesystem::path folder;
        std::filesystem::path suggested;
    };

    FileDialogAnswers();
    ~FileDialogAnswers();
    FileDialogAnswers(const FileDialogAnswers&) = delete;
    FileDialogAnswers& operator=(const FileDialogAnswers&) = delete;

    std::deque<std::optional<std::filesystem::path>> choices;
    std::vector<Request> requests;

private:
    gui::TableFileDialogHandler previous_;
};

// The program as it starts: a folder of its own as the start directory (with `default.tbl` when
// the test puts one there first), the port list given by ZR250PRO_PORTS, the window shown, its
// start-up steps done and the window active.
class StartedWindow {
public:
    // `ports`: the port list variable's value ("" lists no port).
    explicit StartedWindow(const std::string& ports = "", const std::function<void(const std::filesystem::path&)>&
                                                              prepareStartDirectory = {});
    ~StartedWindow();

    MainWindow& window() { return *window_; }
    MainWindow* operator->() { return window_.get(); }
    const std::filesystem::path& folder() const { return folder_; }

    template <class Control>
    Control* Find(const char* name) const;

private:
    QTemporaryDir dir_;
    std::filesystem::path folder_;
    std::filesystem::path previousDirectory_;
    TCommPort port_;
    std::unique_ptr<MainWindow> window_;
};

// Waits until the window is the active window again (shortcuts work only then).
bool WaitActive(QWidget* window);

// A click on a radio button's or check box's mark: a click takes only over the mark and the text,
// and a short text ends before the middle of its box where a narrow font draws it (Windows' own).
void ClickMark(QWidget* button);

}  // namespace zr::test

#include "main_window.h"

template <class Control>
Control* zr::test::StartedWindow::Find(const char* name) const {
    return window_->findChild<Control*>(QLatin1String(name));
}

#include "window_harness.h"

#include <QTest>
#include <QWidget>

#include "port_list.h"

namespace zr::test {

MessageRecorder::MessageRecorder() {
    previous_ = gui::SetMessageHandler([this](QWidget*, const Message& message) {
        messages.push_back(message);
        if (onMessage) onMessage(message);
        if (message.buttons == MessageButtons::Ok) return MessageAnswer::Ok;
        if (answers.empty()) return MessageAnswer::Yes;
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    });
}

MessageRecorder::~MessageRecorder() { gui::SetMessageHandler(previous_); }

std::vector<std::string> MessageRecorder::Texts() const {
    std::vector<std::string> texts;
    for (const Message& message : messages) texts.push_back(message.text);
    return texts;
}

FileDialogAnswers::FileDialogAnswers() {
    previous_ = gui::SetTableFileDialogHandler(
        [this](gui::TableFileDialogKind kind, const std::filesystem::path& start, const std::filesystem::path& suggested)
            -> std::optional<std::filesystem::path> {
            requests.push_back({kind, start, suggested});
            if (choices.empty()) return std::nullopt;
            auto choice = choices.front();
            choices.pop_front();
            return choice;
        });
}

FileDialogAnswers::~FileDialogAnswers() { gui::SetTableFileDialogHandler(previous_); }

StartedWindow::StartedWindow(const std::string& ports,
                             const std::function<void(const std::filesystem::path&)>& prepareStartDirectory)
    : folder_(dir_.path().toStdString()), previousDirectory_(std::filesystem::current_path()) {
    if (prepareStartDirectory) prepareStartDirectory(folder_);
    qputenv(kPortListVariable, QByteArray::fromStdString(ports));
    std::filesystem::current_path(folder_);  // the start directory is where the program starts
    window_ = std::make_unique<MainWindow>(port_);
    window_->show();
    QTRY_VERIFY_WITH_TIMEOUT(window_->IsStartupDone(), 30000);
    WaitActive(window_.get());
}

StartedWindow::~StartedWindow() {
    window_.reset();
    std::filesystem::current_path(previousDirectory_);
}

void ClickMark(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2)); }

bool WaitActive(QWidget* window) {
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

}  // namespace zr::test

#include "window_device_view.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <algorithm>

#include "device_texts.h"
#include "main_window.h"
#include "table_file_dialogs.h"

namespace zr::gui {

namespace {


template <class Control>
Control* Find(const MainWindow& window, const char* name) {
    return window.findChild<Control*>(QLatin1String(name));
}

}  // namespace

void WindowDeviceView::SetStatusText(std::string_view text) { window_.StatusTextPanel()->setText(ToQString(text)); }

void WindowDeviceView::ClearFileNamePanel() { window_.FileNamePanel()->clear(); }

void WindowDeviceView::SetProgressRange(int maximum) {
    // Qt draws a range of 0..0 as a busy indicator; the pager's empty bar is an empty range of one.
    window_.ProgressBar()->setRange(0, std::max(maximum, 1));
    window_.ProgressBar()->setValue(0);
}

void WindowDeviceView::SetProgressPosition(int position) { window_.ProgressBar()->setValue(position); }

int WindowDeviceView::ProgressPosition() const { return window_.ProgressBar()->value(); }

MessageAnswer WindowDeviceView::ShowMessage(const Message& message) { return window_.ShowMessageBox(message); }

void WindowDeviceView::SetWindowEnabled(bool enabled) { window_.SetInputEnabled(enabled); }

void WindowDeviceView::SetDeviceMenuEnabled(bool read, bool write, bool verify) {
    Find<QAction>(window_, "Read1")->setEnabled(read);
    Find<QAction>(window_, "Write1")->setEnabled(write);
    Find<QAction>(window_, "Verify1")->setEnabled(verify);
}

bool WindowDeviceView::IsModifyMode() const { return Find<QRadioButton>(window_, "RBtModify")->isChecked(); }

void WindowDeviceView::ShowFirmwareVersion(std::string_view text) {
    Find<QLineEdit>(window_, "edtVersion")->setText(ToQString(text));
    Find<QLabel>(window_, "lblVersion")->setVisible(true);
    Find<QLineEdit>(window_, "edtVersion")->setVisible(true);
}

void WindowDeviceView::ImageReplaced() { window_.FinishImageLoad(); }

void WindowDeviceView::ExplainPortFailures(const std::vector<PortFailure>& failures) {
    if (const auto message = PortFailureMessage(failures)) window_.ShowMessageBox(*message);
}

void WindowDeviceView::ProcessEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

}  // namespace zr::gui

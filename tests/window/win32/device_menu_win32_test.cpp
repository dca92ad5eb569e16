// The Pager menu of the Windows window through the Win32 serial port: Read, Write in Write Mode and
// Verify against a simulated board, and the no-board messages on a board that stays silent. The
// simulator is a pseudo-terminal program, so it runs outside Windows; the test command maps one COM
// port to an answering board and one to a silent one, and names them in ZR250PRO_TEST_BOARD_PORT and
// ZR250PRO_TEST_SILENT_PORT.
#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QtTest>

#include "device_texts.h"
#include "window_harness.h"

using zr::test::MessageRecorder;
using zr::test::StartedWindow;

namespace {

std::string PortFromEnvironment(const char* variable) { return qEnvironmentVariable(variable).toStdString(); }

// The window is given back after each operation: usable, the bar empty, the status as given.
void CheckGivenBack(StartedWindow& started, const char* status) {
    QVERIFY(started.window().centralWidget()->isEnabled());
    QVERIFY(!started->IsBusy());
    QCOMPARE(started->ProgressBar()->value(), 0);
    QCOMPARE(started->StatusTextPanel()->text(), QString(status));
}

}  // namespace

class DeviceMenuWin32Test : public QObject {
    Q_OBJECT

private slots:
    void init();
    void readWriteVerifyThroughTheMenu();
    void aSilentBoardIsReported();

private:
    std::string board_;
    std::string silent_;
};

void DeviceMenuWin32Test::init() {
    board_ = PortFromEnvironment("ZR250PRO_TEST_BOARD_PORT");
    silent_ = PortFromEnvironment("ZR250PRO_TEST_SILENT_PORT");
    if (board_.empty() || silent_.empty())
        QSKIP("no simulated board: ZR250PRO_TEST_BOARD_PORT and ZR250PRO_TEST_SILENT_PORT name the COM ports of an "
              "answering and a silent zr250pro-sim (scripts/test-windows.sh sets them)");
}

void DeviceMenuWin32Test::readWriteVerifyThroughTheMenu() {
    MessageRecorder messages;
    StartedWindow started(board_);
    QVERIFY(messages.messages.empty());  // the start-up check found the board
    int progressSeen = 0;
    messages.onMessage = [&](const zr::Message&) { progressSeen = started->ProgressBar()->value(); };

    started.Find<QAction>("Read1")->trigger();
    QCOMPARE(messages.messages, (std::vector<zr::Message>{zr::ReadDoneMessage()}));
    QCOMPARE(progressSeen, 256);  // the bar went all the way while the image came in
    CheckGivenBack(started, " Ready");

    // Write Mode: a byte changed, written, then read back sealed as it went out.
    messages.Clear();
    started->Image()[83] = 12;
    zr::test::ClickMark(started.Find<QRadioButton>("RBtWrite"));
    started.Find<QAction>("Write1")->trigger();
    QCOMPARE(messages.messages, (std::vector<zr::Message>{zr::WriteDoneMessage()}));
    QVERIFY(zr::HasValidChecksum(started->Image()));
    CheckGivenBack(started, "  Ready .....");
    const zr::PagerImage written = started->Image();

    messages.Clear();
    QCOMPARE(int(written[83]), 12);
    started->Image()[83] = 77;
    started.Find<QAction>("Read1")->trigger();
    QCOMPARE(messages.messages, (std::vector<zr::Message>{zr::ReadDoneMessage()}));
    QCOMPARE(started->Image(), written);

    // Verify: equal, then one byte off.
    messages.Clear();
    started.Find<QAction>("Verify1")->trigger();
    started->Image()[83] = 13;
    started.Find<QAction>("Verify1")->trigger();
    QCOMPARE(messages.messages, (std::vector<zr::Message>{zr::VerifyDoneMessage(), zr::VerifyErrorMessage()}));
    CheckGivenBack(started, " Ready");
}

void DeviceMenuWin32Test::aSilentBoardIsReported() {
    MessageRecorder messages;
    StartedWindow started(silent_);
    messages.Clear();  // the start-up check's own report of the silent board
    const zr::PagerImage before = started->Image();
    started.Find<QAction>("Read1")->trigger();
    started.Find<QAction>("Verify1")->trigger();
    QCOMPARE(messages.messages, (std::vector<zr::Message>{zr::NoBoardOnReadMessage(), zr::NoBoardMessage()}));
    QCOMPARE(started->Image(), before);
    CheckGivenBack(started, " Ready");
}

QTEST_MAIN(DeviceMenuWin32Test)
#include "device_menu_win32_test.moc"

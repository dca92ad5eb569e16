// The Pager menu against the simulated board and pager: Read, Write and Verify from their keys, the
// window taken from the user during the transfer and given back after every outcome, the menu rules
// of the edit modes, and one failure of each kind with its message.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QRadioButton>
#include <QtTest>

#include "device_texts.h"
#include "holding_process.h"
#include "pager_simulator.h"
#include "window_harness.h"

using zr::test::MessageRecorder;
using zr::test::StartedWindow;

namespace {

// What the window looked like while a message box of the transfer was on screen.
struct DuringMessage {
    bool windowUsable = true;
    bool menuUsable = true;
    int progress = -1;
};

void Press(StartedWindow& started, Qt::Key key) {
    QVERIFY(zr::test::WaitActive(&started.window()));
    QTest::keyClick(started.Find<QLineEdit>("edtFreq"), key);
}

// After every outcome: the window usable and active, the bar empty, Read and Verify on, Write as
// the mode says (on after a Write).
void CheckGivenBack(StartedWindow& started, bool writeEnabled, const char* status) {
    QVERIFY(started.window().centralWidget()->isEnabled());
    QVERIFY(started.window().menuBar()->isEnabled());
    QVERIFY(!started->IsBusy());
    QCOMPARE(started->ProgressBar()->value(), 0);
    QVERIFY(started.Find<QAction>("Read1")->isEnabled());
    QVERIFY(started.Find<QAction>("Verify1")->isEnabled());
    QCOMPARE(started.Find<QAction>("Write1")->isEnabled(), writeEnabled);
    QCOMPARE(started->StatusTextPanel()->text(), QString(status));
    QVERIFY(zr::test::WaitActive(&started.window()));
}

}  // namespace

class DeviceMenuTest : public QObject {
    Q_OBJECT

private slots:
    void startUpFindsTheBoard();
    void aPortHeldByAnotherProgramIsExplained();
    void readWriteVerifyFromTheirKeys();
    void failuresAreReportedAndTheWindowGivenBack_data();
    void failuresAreReportedAndTheWindowGivenBack();
    void writeRefusedMidwayStopsAtOnce();
    void closingDuringATransferWaitsForItsEnd();
};

void DeviceMenuTest::startUpFindsTheBoard() {
    zr::sim::SimulatorOptions silent;
    silent.silent = true;
    zr::sim::SimulatorThread empty(silent), held, pager, later;
    zr::TCommPort otherProgram;
    otherProgram.Configure(9600, held.PortPath(), 1);
    {
        MessageRecorder messages;
        StartedWindow started("/nonexistent/zrA:" + empty.PortPath() + ":" + held.PortPath() + ":" +
                              pager.PortPath() + ":" + later.PortPath());
        QVERIFY(messages.messages.empty());
        QCOMPARE(started.Find<QComboBox>("cboPort")->currentIndex(), 3);  // the first port whose board answered
        QVERIFY(held.simulator().Requests().empty());
        QVERIFY(started->findChild<QWidget*>("TForm3")->isHidden());
    }
    MessageRecorder messages;
    StartedWindow started(empty.PortPath());
    QCOMPARE(messages.Texts(), std::vector<std::string>{zr::NoBoardMessage().text});
    QCOMPARE(started.Find<QComboBox>("cboPort")->currentIndex(), 0);
}

void DeviceMenuTest::aPortHeldByAnotherProgramIsExplained() {
    zr::sim::SimulatorThread pager;
    zr::testing::HoldingProcess other(pager.PortPath());
    const std::string reason = "Cannot open " + pager.PortPath() + ": in use by sleep (process " +
                               std::to_string(other.pid());
    MessageRecorder messages;
    StartedWindow started(pager.PortPath());
    // The start-up check's own box, then the reason and the fix in one more.
    QCOMPARE(messages.messages.size(), std::size_t(2));
    QCOMPARE(messages.messages[0], zr::NoBoardMessage());
    QCOMPARE(messages.messages[1].caption, std::string("ZR250Pro"));
    QCOMPARE(messages.messages[1].icon, zr::MessageIcon::Warning);
    QVERIFY2(messages.messages[1].text.starts_with(reason), messages.messages[1].text.c_str());

    messages.Clear();
    Press(started, Qt::Key_F3);
    QCOMPARE(messages.messages.size(), std::size_t(2));
    QCOMPARE(messages.messages[0], zr::NoBoardOnReadMessage());
    QVERIFY2(messages.messages[1].text.starts_with(reason), messages.messages[1].text.c_str());
    QVERIFY(pager.simulator().Requests().empty());
    CheckGivenBack(started, false, " Ready");
}

void DeviceMenuTest::readWriteVerifyFromTheirKeys() {
    zr::sim::SimulatorOptions options;
    options.pace = 9600;  // the real line's speed: the transfer takes long enough to watch it
    options.firmwareMinor = 9;
    options.memory[83] = 55;  // marks the pager's image
    zr::SetWord16(options.memory, zr::kChecksumOffset, zr::ImageChecksum(options.memory));
    zr::sim::SimulatorThread pager(options);
    MessageRecorder messages;
    StartedWindow started(pager.PortPath());
    DuringMessage during;
    messages.onMessage = [&](const zr::Message&) {
        during = {started.window().centralWidget()->isEnabled(), started.window().menuBar()->isEnabled(),
                  started->ProgressBar()->value()};
    };
    int paints = 0;
    struct PaintCounter : QObject {
        int& count;
        explicit PaintCounter(int& c) : count(c) {}
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) ++count;
            return false;
        }
    } counter(paints);
    started->ProgressBar()->installEventFilter(&counter);

    // Read (F3): the pager's image becomes the current one.
    Press(started, Qt::Key_F3);
    QCOMPARE(messages.messages, (std::vector<zr::Message>{zr::ReadDoneMessage()}));
    QVERIFY(!during.windowUsable);
    QVERIFY(!during.menuUsable);
    QCOMPARE(during.progress, 256);
    QVERIFY(paints > 1);  // the bar kept painting while the window waited for the line
    QCOMPARE(int(started->Image()[83]), 55);
    QCOMPARE(int(started->Image()[2]), 9);  // the version the Read asked for
    QVERIFY(started.Find<QLabel>("lblVersion")->isVisible());
    QCOMPARE(started.Find<QLineEdit>("edtVersion")->text(), QString("5.90"));
    CheckGivenBack(started, false, " Ready");

    // Write (F4) in Write Mode: the sealed image lands in the pager.
    messages.Clear();
    started->FileNamePanel()->setText("File Name:site.tbl");
    started->Image()[83] = 12;
    zr::test::ClickMark(started.Find<QRadioButton>("RBtWrite"));
    Press(started, Qt::Key_F4);
    QCOMPARE(messages.messages, (std::vector<zr::Message>{zr::WriteDoneMessage()}));
    QVERIFY(!during.windowUsable);
    QCOMPARE(pager.simulator().Memory(), started->Image());
    QCOMPARE(int(started->Image()[83]), 12);
    QVERIFY(zr::HasValidChecksum(started->Image()));
    QVERIFY(started->FileNamePanel()->text().isEmpty());
    CheckGivenBack(started, true, "  Ready .....");

    // Verify (F2): equal, then one byte changed.
    messages.Clear();
    Press(started, Qt::Key_F2);
    started->Image()[83] = 13;
    Press(started, Qt::Key_F2);
    QCOMPARE(messages.messages, (std::vector<zr::Message>{zr::VerifyDoneMessage(), zr::VerifyErrorMessage()}));
    CheckGivenBack(started, true, " Ready");  // Write Mode: Write stays on

    // Back in Modify Mode, Verify leaves Write off and F4 does nothing.
    messages.Clear();
    zr::test::ClickMark(started.Find<QRadioButton>("RBtModify"));
    Press(started, Qt::Key_F2);
    Press(started, Qt::Key_F4);
    QCOMPARE(messages.messages, (std::vector<zr::Message>{zr::VerifyErrorMessage()}));
    CheckGivenBack(started, false, " Ready");
}

void DeviceMenuTest::failuresAreReportedAndTheWindowGivenBack_data() {
    QTest::addColumn<int>("fault");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("status");
    // Requests count from 1 and the start-up check sends the first; a Read then sends the probe,
    // the version and tag queries and the two blocks.
    QTest::newRow("no board (Read)") << 0 << Qt::Key_F3 << QString::fromStdString(zr::NoBoardOnReadMessage().text)
                                     << " Ready";
    QTest::newRow("no board (Verify)") << 0 << Qt::Key_F2 << QString::fromStdString(zr::NoBoardMessage().text)
                                       << " Ready";
    QTest::newRow("old firmware") << 1 << Qt::Key_F3 << QString::fromStdString(zr::OldFirmwareMessage().text)
                                  << " Ready";
    QTest::newRow("another model") << 2 << Qt::Key_F3
                                   << QString::fromStdString(zr::WrongModelMessage("XYZ").text) << " Ready";
    QTest::newRow("block with a wrong checksum") << 3 << Qt::Key_F3 << "Read Error !" << " Ready";
    QTest::newRow("image with a wrong checksum") << 4 << Qt::Key_F3 << "CheckSum error !" << " Ready";
}

void DeviceMenuTest::failuresAreReportedAndTheWindowGivenBack() {
    QFETCH(int, fault);
    QFETCH(Qt::Key, key);
    QFETCH(QString, text);
    QFETCH(QString, status);
    zr::sim::SimulatorOptions options;
    if (fault == 1) options.firmwareMinor = 0;  // 5.0
    if (fault == 2) options.tag = "XYZ";
    if (fault == 3) options.badChecksumAt = 5;  // the first block of the Read
    if (fault == 4) options.memory[255] ^= 0x01;
    zr::sim::SimulatorThread pager(options);
    MessageRecorder messages;
    StartedWindow started(fault == 0 ? "/nonexistent/zrA" : pager.PortPath());
    messages.Clear();
    const zr::PagerImage before = started->Image();
    Press(started, key);
    std::vector<std::string> texts = messages.Texts();
    if (fault == 0) {  // a port that does not exist: what to do about it follows the box
        QCOMPARE(texts.size(), std::size_t(2));
        QVERIFY(texts[1].starts_with("Cannot open /nonexistent/zrA: no such device."));
        texts.pop_back();
    }
    QCOMPARE(texts, std::vector<std::string>{text.toStdString()});
    CheckGivenBack(started, false, qPrintable(status));
    // Nothing of the pager replaced the image, apart from the version the Read asked for.
    zr::PagerImage expected = before;
    if (fault != 0) {
        expected[1] = started->Image()[1];
        expected[2] = started->Image()[2];
    }
    QCOMPARE(started->Image(), expected);
}

void DeviceMenuTest::writeRefusedMidwayStopsAtOnce() {
    zr::sim::SimulatorOptions options;
    options.negativeAcknowledgeAt = 5;
    zr::sim::SimulatorThread pager(options);
    const zr::PagerImage pagerBefore = pager.simulator().Memory();
    MessageRecorder messages;
    StartedWindow started(pager.PortPath());
    messages.Clear();
    started->Image()[20] ^= 0xFF;   // in the third piece
    started->Image()[200] ^= 0xFF;  // in the twenty-sixth
    zr::test::ClickMark(started.Find<QRadioButton>("RBtWrite"));
    Press(started, Qt::Key_F4);
    QCOMPARE(messages.messages, (std::vector<zr::Message>{zr::WriteErrorMessage()}));
    CheckGivenBack(started, true, "  Ready .....");
    // The fifth piece was refused: nothing after it was sent, nothing verified.
    int writes = 0;
    for (const zr::sim::RequestRecord& request : pager.simulator().Requests())
        if (request.count == 8 && request.letter == 'S') ++writes;
    QCOMPARE(writes, 5);
    QCOMPARE(pager.simulator().Memory()[20], started->Image()[20]);
    QCOMPARE(pager.simulator().Memory()[200], pagerBefore[200]);
}

void DeviceMenuTest::closingDuringATransferWaitsForItsEnd() {
    zr::sim::SimulatorThread pager;
    MessageRecorder messages;
    StartedWindow started(pager.PortPath());
    bool stayedOpen = false;
    messages.onMessage = [&](const zr::Message&) {
        started.window().close();
        stayedOpen = started.window().isVisible();
    };
    Press(started, Qt::Key_F3);
    QCOMPARE(messages.messages, (std::vector<zr::Message>{zr::ReadDoneMessage()}));
    QVERIFY(stayedOpen);
    QTRY_VERIFY(!started.window().isVisible());
}

QTEST_MAIN(DeviceMenuTest)
#include "device_menu_test.moc"


// Pager > Test Page... and Pager > Decode Recording...: the menu items, a call of the window's image
// saved and decoded back with the unit it alerts, and Play and Stop through a null sound sink.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "decode_recording_dialog.h"
#include "image_offsets.h"
#include "sound_server.h"
#include "test_page_dialog.h"
#include "tone_entry.h"
#include "window_harness.h"

using zr::test::MessageRecorder;
using zr::test::StartedWindow;

class TestPageDialogTest : public QObject {
    Q_OBJECT

private slots:
    void menuItemsFollowVerify();
    void savedPageDecodesToTheCallAndTheUnitItAlerts();
    void playKeepsTheWindowServedAndStopEndsIt();
};

namespace {

// Call 2 switched on with 1006.9/1459.0 Hz; a decoder bandwidth of 1.5 %.
zr::PagerImage ImageWithCall2() {
    zr::PagerImage image = zr::StartupImage();
    zr::SetWord16(image, zr::ToneFrequencyOffset({zr::ToneKind::Tone1, 2}), 10069);
    zr::SetWord16(image, zr::ToneFrequencyOffset({zr::ToneKind::Tone2, 2}), 14590);
    zr::SetImageBits(image, zr::kCallEnablesOffset, 1, 1, 1);
    image[zr::kDecoderBandwidthOffset] = 7;
    return image;
}

template <class Control>
Control* Child(const QWidget& dialog, const char* name) {
    return dialog.findChild<Control*>(QLatin1String(name));
}

}  // namespace

void TestPageDialogTest::menuItemsFollowVerify() {
    MessageRecorder recorder;
    StartedWindow started;
    const auto actions = started.Find<QMenu>("Pager1")->actions();
    const int verify = actions.indexOf(started.Find<QAction>("Verify1"));
    QVERIFY(actions.at(verify + 1)->isSeparator());
    QCOMPARE(actions.at(verify + 2)->objectName(), QString("TestPage1"));
    QCOMPARE(actions.at(verify + 2)->text(), QString("Test &Page..."));
    QCOMPARE(actions.at(verify + 3)->text(), QString("&Decode Recording..."));
}

void TestPageDialogTest::savedPageDecodesToTheCallAndTheUnitItAlerts() {
    QTemporaryDir dir;
    const zr::PagerImage image = ImageWithCall2();
    zr::gui::TestPageDialog page(image);
    auto* calls = Child<QComboBox>(page, "cboCall");
    QCOMPARE(calls->count(), 6);
    QCOMPARE(calls->itemText(1), QString("call 2: 1006.9/1459.0 Hz"));
    QCOMPARE(calls->itemText(4), QString("group 1: 330.5 Hz (switched off)"));
    calls->setCurrentIndex(1);
    const QString path = dir.filePath("call2.wav");
    QVERIFY(page.SaveTo(path));

    zr::gui::DecodeRecordingDialog decode({{"P-07", image}, {"P-08", zr::StartupImage()}});
    QVERIFY(decode.Decode(path));
    auto* pages = Child<QTableWidget>(decode, "grdPages");
    QCOMPARE(pages->rowCount(), 1);
    QVERIFY(pages->item(0, 1)->text().startsWith("1006.9 Hz, "));
    QVERIFY(pages->item(0, 2)->text().startsWith("1459.0 Hz, "));
    QCOMPARE(pages->item(0, 3)->text(), QString("P-07 (call 2)"));
    QVERIFY(!decode.Decode(dir.filePath("missing.wav")));
    QVERIFY(Child<QLabel>(decode, "lblRecording")->text().startsWith("Cannot decode"));
}

void TestPageDialogTest::playKeepsTheWindowServedAndStopEndsIt() {
    if (!zr::testing::HaveSoundServerPrograms()) QSKIP("no PulseAudio (pulseaudio, pactl, parec) here to play into");
    QTemporaryDir dir;
    const zr::testing::SoundServer server(dir.path().toStdString());
    if (!server.Running()) QSKIP("a PulseAudio server with a null sink cannot run here");
    server.UseInThisProcess();
    const zr::PagerImage image = ImageWithCall2();
    zr::gui::TestPageDialog page(image);
    page.show();
    auto* play = Child<QPushButton>(page, "btnPlay");
    auto* stop = Child<QPushButton>(page, "btnStop");
    QTest::mouseClick(play, Qt::LeftButton);
    QVERIFY2(stop->isEnabled(), qPrintable(Child<QLabel>(page, "lblStatus")->text()));
    QVERIFY(!play->isEnabled());
    // The page (4 s) sounds while the event loop goes on serving timers and clicks.
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);
    QTest::qWait(500);
    QVERIFY(ticks >= 5);
    QVERIFY(stop->isEnabled());
    QTest::mouseClick(stop, Qt::LeftButton);
    QTRY_VERIFY(play->isEnabled());
    QCOMPARE(Child<QLabel>(page, "lblStatus")->text(), QString("Played."));
}

QTEST_MAIN(TestPageDialogTest)
#include "test_page_dialog_test.moc"

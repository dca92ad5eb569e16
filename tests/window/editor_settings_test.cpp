// The Frequency box and the Setting, Config and Advance Setting pages in the window: frequency and
// band, the numeric fields with their key filters and messages, the option switches and lists, the
// squelch levels, and both edit modes after edits.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

#include "editor_driver.h"
#include "entry_messages.h"
#include "field_editors.h"

using zr::test::EditorDriver;
using zr::test::MessageRecorder;
using zr::test::StartedWindow;

namespace {

std::vector<std::string> One(const QString& message) {
    if (message.isEmpty()) return {};
    return {message.toStdString()};
}

}  // namespace

class EditorSettingsTest : public QObject {
    Q_OBJECT

private slots:
    void frequencyEntries_data();
    void frequencyEntries();
    void frequencyFieldEmptiedOnEnterAndEnterParksTheFocus();
    void bandSwitchingBringsBackEachBandsFrequency();
    void numericEntries_data();
    void numericEntries();
    void numericKeyFilters();
    void pastedTextThatIsNoNumberIsRefused();
    void decoderBandwidthSetsTheSpacingRule();
    void privacyPushToListenAndResetControl();
    void otherSwitchesAndLists();
    void squelchLevelsAndTheirHiddenTable();
    void editModesAfterEdits();
};

void EditorSettingsTest::frequencyEntries_data() {
    QTest::addColumn<QString>("band");
    QTest::addColumn<QString>("spacing");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("pllr");
    QTest::addColumn<QString>("plln");
    QTest::addColumn<int>("code");

    const QString vhf = "135-174 MHz", uhf = "400-499 MHz";
    const QString bandError = "Frequency setting error(1350000 < = Frequency < =1740000 )";
    const QString stepError = "Channel Spacing Error!";
    QTest::newRow("12.5 K") << vhf << "12.5 K" << "1590000" << "" << "00010011" << "00158000" << 0;
    QTest::newRow("auto 25 kHz") << vhf << "Auto" << "1590000" << "" << "00008011" << "000AC000" << 32;
    QTest::newRow("auto 12.5 kHz") << vhf << "Auto" << "1590125" << "" << "00010011" << "00158080" << 33;
    QTest::newRow("auto no step") << vhf << "Auto" << "1590010" << stepError << "00008011" << "000AC000" << 32;
    QTest::newRow("lowest") << vhf << "10 K" << "1350000" << "" << "00014011" << "00163000" << 1;
    QTest::newRow("highest") << vhf << "12.5 K" << "1740000" << "" << "00010011" << "0017D800" << 0;
    QTest::newRow("below") << vhf << "12.5 K" << "1349999" << bandError << "00010011" << "00158000" << 0;
    QTest::newRow("above") << vhf << "12.5 K" << "1740001" << bandError << "00010011" << "00158000" << 0;
    QTest::newRow("uhf 12.5 K") << uhf << "12.5 K" << "4620000" << "" << "00020011" << "0044D800" << 0;
    QTest::newRow("uhf 6.25 K") << uhf << "6.25 K" << "4620125" << "" << "00040011" << "0089B100" << 2;
}

void EditorSettingsTest::frequencyEntries() {
    QFETCH(QString, band);
    QFETCH(QString, spacing);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, pllr);
    QFETCH(QString, plln);
    QFETCH(int, code);
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    editor.Pick("cboRangeFreq", band);
    editor.Pick("cboCSpace", spacing);
    messages.Clear();
    const zr::PagerImage before = editor.Image();
    editor.Entry("edtFreq", typed);
    QCOMPARE(messages.Texts(), One(message));
    QCOMPARE(started.Find<QLabel>("lblPLLR")->text(), pllr);
    QCOMPARE(started.Find<QLabel>("lblPLLN")->text(), plln);
    QCOMPARE(int(editor.Image()[10]), code);
    if (message.isEmpty()) {
        for (int k = 0; k < 7; ++k) QCOMPARE(int(editor.Image()[3 + k]), typed[k].digitValue());
        QCOMPARE(zr::GetWord32(editor.Image(), 124), plln.toUInt(nullptr, 16));
    } else {
        // Refused: nothing stored, the entry kept, the focus back for the correction.
        QCOMPARE(editor.Image(), before);
        QCOMPARE(editor.Edit("edtFreq")->text(), typed);
        QCOMPARE(editor.Focused(), editor.Edit("edtFreq"));
    }
}

void EditorSettingsTest::frequencyFieldEmptiedOnEnterAndEnterParksTheFocus() {
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    editor.Enter("edtFreq");
    QCOMPARE(editor.Edit("edtFreq")->text(), QString());
    editor.Leave();
    QCOMPARE(editor.Edit("edtFreq")->text(), QString("1590000"));
    editor.Enter("edtFreq");
    editor.Type("1590125");
    editor.Key(Qt::Key_Return);
    QCOMPARE(editor.Focused(), editor.Edit("edtNull"));
    QCOMPARE(editor.Image()[8], 2);
    QCOMPARE(editor.Image()[10], 33);
}

void EditorSettingsTest::bandSwitchingBringsBackEachBandsFrequency() {
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    messages.Clear();
    // Code 32 in the 135-174 MHz band: the other band selects "12.5 K", stores code 0 and its own frequency.
    editor.Pick("cboRangeFreq", "400-499 MHz");
    QCOMPARE(editor.List("cboCSpace")->count(), 4);
    QCOMPARE(editor.List("cboCSpace")->currentText(), QString("12.5 K"));
    QCOMPARE(editor.Edit("edtFreq")->text(), QString("4620000"));
    QCOMPARE(editor.Image()[3], 4);
    QCOMPARE(editor.Image()[10], 0);
    QCOMPARE(started.Find<QLabel>("lblPLLN")->text(), QString("0044D800"));
    QCOMPARE(started.Find<QLabel>("lblMUTL")->text(), QString("2"));
    // "5 K" (code 3) and back: the 135-174 MHz band has no such item and selects "12.5 K".
    editor.Pick("cboCSpace", "5 K");
    editor.Entry("edtFreq", "4500050");
    QCOMPARE(editor.Image()[10], 3);
    editor.Pick("cboRangeFreq", "135-174 MHz");
    QCOMPARE(editor.List("cboCSpace")->currentText(), QString("12.5 K"));
    QCOMPARE(editor.Image()[10], 0);
    QCOMPARE(editor.Edit("edtFreq")->text(), QString("1590000"));
    QCOMPARE(editor.Image()[3], 1);
    QVERIFY(messages.messages.empty());
    // Back again, the band's frequency returns, but code 0 now selects "12.5 K", which it is not on:
    // refused by the spacing pick and by the frequency exit the band pick runs after it.
    editor.Pick("cboRangeFreq", "400-499 MHz");
    QCOMPARE(editor.Edit("edtFreq")->text(), QString("4500050"));
    const std::string stepError(zr::kChannelSpacingErrorText);
    QCOMPARE(messages.Texts(), (std::vector<std::string>{stepError, stepError}));
    QCOMPARE(editor.Focused(), editor.Edit("edtFreq"));
    QCOMPARE(editor.Image()[3], 1);  // the refused frequency is not stored
}

void EditorSettingsTest::numericEntries_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("focusBack");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QList<int>>("stored");  // empty: the image is unchanged

    const QString byteRange = QString::fromStdString(std::string(zr::kByteRangeText));
    const QString levelRange = QString::fromStdString(std::string(zr::kLevelRangeText));
    const QString fromOne = QString::fromStdString(std::string(zr::kHalfSecondsFromOneText));
    const QString step = QString::fromStdString(std::string(zr::kHalfSecondStepText));
    QTest::newRow("byte too big") << "edtBS_Period" << "256" << byteRange << "256" << true << 58 << QList<int>{};
    QTest::newRow("byte largest") << "edtBS_Period" << "255" << "" << "255" << false << 58 << QList<int>{255};
    QTest::newRow("word largest") << "edtTone1Len" << "65535" << "" << "65535" << false << 52 << QList<int>{255, 255};
    QTest::newRow("word 300") << "edtTone1Len" << "300" << "" << "300" << false << 52 << QList<int>{1, 44};
    QTest::newRow("gap max holds a byte") << "edtGapMax" << "256" << byteRange << "256" << true << 78 << QList<int>{};
    QTest::newRow("gap max above its check") << "edtGapMax" << "65536" << QString::fromStdString(std::string(zr::kWordRangeText))
                                             << "65536" << true << 78 << QList<int>{};
    QTest::newRow("carrier off delay") << "edtSquelch" << "20" << "" << "20" << false << 83 << QList<int>{20};
    QTest::newRow("level too high") << "edtRSSI" << "1.2" << levelRange << "1.2" << true << 64 << QList<int>{};
    QTest::newRow("level 1") << "edtRSSI" << "1" << "" << "1.00" << false << 64 << QList<int>{85};
    QTest::newRow("level 0.5") << "edtRSSI" << "0.5" << "" << "0.50" << false << 64 << QList<int>{42};
    QTest::newRow("speaker on too high") << "edtRSSI2" << "1.5" << levelRange << "1.5" << true << 76 << QList<int>{};
    QTest::newRow("auto monitor below 1") << "edtAutoMonitor" << "0.5" << fromOne << "0.5" << true << 65
                                          << QList<int>{};
    QTest::newRow("decoder reset 0") << "edtDecorderReset" << "0" << "" << "0.0" << false << 80 << QList<int>{0};
    QTest::newRow("off the half-second step") << "edtAudioLock" << "3.2" << step << "6.0" << false << 66
                                              << QList<int>{};
    QTest::newRow("half second") << "edtAudioLock" << "3.5" << "" << "3.5" << false << 66 << QList<int>{7};
    QTest::newRow("largest time") << "edtDecorderReset" << "127.5" << "" << "127.5" << false << 80 << QList<int>{255};
    QTest::newRow("standby delay two decimals") << "edtDelayFullTime" << "3.46" << "" << "3.5" << false << 82
                                                << QList<int>{7};
    QTest::newRow("left empty") << "edtBS_Duty" << "" << "" << "1" << false << 59 << QList<int>{};
}

void EditorSettingsTest::numericEntries() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QFETCH(bool, focusBack);
    QFETCH(int, offset);
    QFETCH(QList<int>, stored);
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    editor.Click("chkFullTimeAutoMonitor");  // the standby delay is usable with full-time monitoring on
    messages.Clear();
    const zr::PagerImage before = editor.Image();
    const QByteArray name = field.toLatin1();
    editor.Entry(name.constData(), typed);
    QCOMPARE(messages.Texts(), One(message));
    QCOMPARE(editor.Edit(name.constData())->text(), shown);
    QCOMPARE(editor.Focused() == editor.Edit(name.constData()), focusBack);
    if (stored.isEmpty()) {
        QCOMPARE(editor.Image(), before);
    } else {
        for (int i = 0; i < stored.size(); ++i) QCOMPARE(int(editor.Image()[std::size_t(offset + i)]), stored[i]);
    }
}

void EditorSettingsTest::numericKeyFilters() {
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    messages.Clear();
    const std::string numeric(zr::kNumericOnlyText);

    // Whole numbers: any other key, Backspace included, is refused with a message; the focus stays.
    editor.Enter("edtBS_Duty");
    editor.Type("1x2");
    editor.Key(Qt::Key_Backspace);
    QCOMPARE(messages.Texts(), (std::vector<std::string>{numeric, numeric}));
    QCOMPARE(editor.Edit("edtBS_Duty")->text(), QString("12"));
    QCOMPARE(editor.Focused(), editor.Edit("edtBS_Duty"));
    QVERIFY(started->isActiveWindow());
    // Enter leaves for edtNull, which stores the entry.
    editor.Key(Qt::Key_Return);
    QCOMPARE(editor.Focused(), editor.Edit("edtNull"));
    QCOMPARE(editor.Image()[59], 12);

    // Two decimals: silent; a leading point and a third decimal are swallowed.
    messages.Clear();
    editor.Enter("edtSSI");
    editor.Type(".0.9a67");
    QCOMPARE(editor.Edit("edtSSI")->text(), QString("0.96"));
    editor.Key(Qt::Key_Backspace);
    editor.Type("1");
    // Enter takes the entry and stays in the field.
    editor.Key(Qt::Key_Enter);
    QCOMPARE(editor.Focused(), editor.Edit("edtSSI"));
    QCOMPARE(editor.Edit("edtSSI")->text(), QString("0.91"));
    QCOMPARE(editor.Image()[79], 77);

    // One decimal (the time fields): a second decimal is swallowed; Backspace passes silently.
    editor.Enter("edtAutoMonitor");
    editor.Type("2.55");
    QCOMPARE(editor.Edit("edtAutoMonitor")->text(), QString("2.5"));
    editor.Key(Qt::Key_Backspace);
    editor.Type("0");
    editor.Key(Qt::Key_Return);
    QCOMPARE(editor.Focused(), editor.Edit("edtNull"));
    QCOMPARE(editor.Image()[65], 4);
    QVERIFY(messages.messages.empty());
}

void EditorSettingsTest::pastedTextThatIsNoNumberIsRefused() {
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    messages.Clear();
    const zr::PagerImage before = editor.Image();
    QApplication::clipboard()->setText("12a");
    for (const char* field : {"edtBS_Period", "edtRSSI", "edtT11", "edtFreq"}) {
        editor.Enter(field);
        QTest::keyClick(editor.Focused(), Qt::Key_V, Qt::ControlModifier);
        editor.Leave();
        // Refused: the text stays, the focus comes back for the correction.
        QCOMPARE(editor.Edit(field)->text(), QString("12a"));
        QCOMPARE(editor.Focused(), editor.Edit(field));
        editor.Edit(field)->clear();
        editor.Leave();
    }
    QCOMPARE(messages.Texts(), (std::vector<std::string>{"'12a' is not a valid whole number.", "'12a' is not a valid number.",
                                                         "'12a' is not a valid number.",
                                                         "'12a' is not a valid whole number."}));
    QCOMPARE(messages.messages.front().icon, zr::MessageIcon::Stop);
    QCOMPARE(editor.Image(), before);
}

void EditorSettingsTest::decoderBandwidthSetsTheSpacingRule() {
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    editor.Pick("cboBandWidth", "0.3");
    QCOMPARE(editor.Image()[49], 1);
    QCOMPARE(int(started->Editors().State().settings.spacingTenths), 3);
    // A load selects the item of offset 49 but leaves the rule as the technician set it.
    zr::PagerImage image = editor.Image();
    image[49] = 7;
    editor.Load(image);
    QCOMPARE(editor.List("cboBandWidth")->currentText(), QString("1.5"));
    QCOMPARE(int(started->Editors().State().settings.spacingTenths), 3);
}

void EditorSettingsTest::privacyPushToListenAndResetControl() {
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    editor.Pick("cboPTL", "Vibration Mode Only");
    QCOMPARE(editor.Image()[69] & 0x02, 0x02);
    QCOMPARE(editor.Image()[81] & 0x10, 0x10);
    QCOMPARE(editor.List("cboResetCon")->count(), 4);

    editor.Click("chkSYSPrivacy");
    QCOMPARE(editor.Image()[69] & 0x82, 0x80);
    QCOMPARE(editor.List("cboPTL")->currentText(), QString("Disable"));
    QCOMPARE(editor.List("cboResetCon")->count(), 6);
    for (const char* name : {"cboPTL", "edtAudioLock", "edtAutoMonitor", "chkSYSAudio", "Label75"})
        QVERIFY2(!started.Find<QWidget>(name)->isEnabled(), name);

    // Privacy off brings Push To Listen back in the mode offset 81 still holds.
    editor.Click("chkSYSPrivacy");
    QCOMPARE(editor.List("cboPTL")->currentText(), QString("Vibration Mode Only"));
    QCOMPARE(editor.Image()[69] & 0x82, 0x02);
    QCOMPARE(editor.List("cboResetCon")->count(), 4);
    QVERIFY(started.Find<QWidget>("edtAudioLock")->isEnabled());

    // Reset modes: the delay field shows for the modes that wait.
    editor.Pick("cboResetCon", "Time-Out RESET");
    QCOMPARE(editor.Image()[67], 4);
    QVERIFY(!started.Find<QWidget>("edtDelay")->isHidden());
    editor.Pick("cboResetCon", "Manual RESET");
    QCOMPARE(editor.Image()[67], 3);
    QVERIFY(started.Find<QWidget>("edtDelay")->isHidden());
    // "Revert SQ" becomes "Auto Reset" once Push To Listen is switched on.
    editor.Pick("cboPTL", "Disable");
    editor.Pick("cboResetCon", "Revert SQ");
    QCOMPARE(editor.Image()[67], 2);
    editor.Pick("cboPTL", "Alert & Vibration Mode");
    QCOMPARE(editor.List("cboResetCon")->currentText(), QString("Auto Reset"));
    QCOMPARE(editor.Image()[67], 0);
    QCOMPARE(editor.Image()[81] & 0x10, 0);
}

void EditorSettingsTest::otherSwitchesAndLists() {
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    editor.Pick("cboReminder", "120 Second");
    QCOMPARE(editor.Image()[70], 240);
    editor.Pick("cboPeriodBat", "5 min");
    QCOMPARE(editor.Image()[84], 10);
    editor.Pick("cboRecordMax", "2 sections (60 second)");
    QCOMPARE(editor.Image()[62], 1);
    editor.Click("chkSYSSV");
    QCOMPARE(editor.Image()[69] & 0x01, 0);
    QVERIFY(!editor.List("cboRecordMax")->isEnabled());
    editor.Click("chkSYSAudio");
    QVERIFY(!editor.Edit("edtAudioLock")->isEnabled());
    for (const auto& [box, bit] : std::vector<std::pair<const char*, int>>{
             {"chkSYSFIX", 3}, {"chkSYSPow", 4}, {"chkSYSVib", 5}, {"chkSYSPowSave", 6}}) {
        editor.Click(box);
        QVERIFY2(zr::GetImageBits(editor.Image(), 69, bit, 1) == 1, box);
    }
    editor.Click("chkVolumeLevel");
    QCOMPARE(editor.Image()[81] & 0x08, 0);
    editor.Click("chkEnSQLRec");
    QCOMPARE(editor.Image()[81] & 0x20, 0x20);
    editor.Click("chkNBEn");
    QCOMPARE(editor.Image()[128], 1);
    editor.Click("chkFullTimeAutoMonitor");
    QVERIFY(editor.Edit("edtDelayFullTime")->isEnabled());
    editor.Click("chkFullTimeAutoMonitor");
    QCOMPARE(editor.Image()[81] & 0x04, 0);
    QCOMPARE(editor.Image()[82], 12);
    for (const char* name : {"lblStandbyToMonitorDelay", "edtDelayFullTime", "lblStandbySec"})
        QVERIFY2(!started.Find<QWidget>(name)->isEnabled(), name);
    // The low battery list is set by every Write; a pick stores nothing.
    const zr::PagerImage before = editor.Image();
    editor.Pick("cboBatteryLow", "1.20 v");
    QCOMPARE(editor.Image(), before);
}

void EditorSettingsTest::squelchLevelsAndTheirHiddenTable() {
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    editor.Pick("cboSQL", "3");
    QCOMPARE(editor.Edit("edtSSI")->text(), QString("0.88"));
    QCOMPARE(editor.Edit("edtRSSI2")->text(), QString("0.98"));
    QCOMPARE(editor.Image()[79], 75);
    QCOMPARE(editor.Image()[76], 83);
    // A threshold typed directly changes the image, not the level.
    editor.Entry("edtSSI", "0.5");
    QCOMPARE(editor.Image()[79], 42);
    QCOMPARE(editor.List("cboSQL")->currentText(), QString("3"));

    // The level table's fields are never shown; shown here, they edit the table, and the selected
    // level is applied again.
    started.Find<QGroupBox>("GroupBox12")->show();
    editor.Entry("edtSQL_OFF2", "0.9");
    QCOMPARE(editor.Edit("edtSQL_OFF2")->text(), QString("0.90"));
    QCOMPARE(started->SquelchLevels()[2].offHundredths, 90);
    QCOMPARE(editor.Edit("edtSSI")->text(), QString("0.90"));
    QCOMPARE(editor.Image()[79], 76);
    editor.Entry("edtSQL_ON2", "");
    QCOMPARE(editor.Edit("edtSQL_ON2")->text(), QString("0.98"));
    QVERIFY(messages.messages.size() <= 1);  // the board check's
}

void EditorSettingsTest::editModesAfterEdits() {
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    editor.Click("chkDuty2");
    editor.Click("chkDuty1");
    editor.Click("chkSYSPrivacy");
    zr::test::ClickMark(started.Find<QRadioButton>("RBtWrite"));
    for (const char* name : {"edtT12", "chkDuty1", "cboPort", "edtFreq", "cboSQL", "chkSYSPrivacy", "edtSQL_OFF0"})
        QVERIFY2(!started.Find<QWidget>(name)->isEnabled(), name);
    QVERIFY(started.Find<QWidget>("edtVersion")->isEnabled());
    zr::test::ClickMark(started.Find<QRadioButton>("RBtModify"));
    for (const char* name : {"edtT12", "edtT22", "chkPriority2", "chkDuty1", "edtFreq", "edtBS_Period"})
        QVERIFY2(started.Find<QWidget>(name)->isEnabled(), name);
    for (const char* name : {"edtT11", "edtT21", "chkPriority1", "cboPTL", "edtAudioLock", "edtAutoMonitor"})
        QVERIFY2(!started.Find<QWidget>(name)->isEnabled(), name);
    // Editing goes on in Modify Mode.
    editor.Entry("edtT12", "670");
    QCOMPARE(zr::GetWord16(editor.Image(), 196), 6699);
}

QTEST_MAIN(EditorSettingsTest)
#include "editor_settings_test.moc"

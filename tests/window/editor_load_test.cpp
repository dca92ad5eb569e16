// Loading the image into the window: what start-up shows, the examples of a load's normalisation,
// the handlers a load runs and those it does not, and images no editor would write.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>
#include <fstream>
#include <random>
#include <set>

#include "editor_driver.h"
#include "entry_messages.h"
#include "field_editors.h"
#include "table_files.h"
#include "tone_code.h"
#include "tone_entry.h"

using zr::test::EditorDriver;
using zr::test::MessageRecorder;
using zr::test::StartedWindow;

namespace {

QString Text(StartedWindow& started, const char* name) {
    if (auto* edit = started.Find<QLineEdit>(name)) return edit->text();
    if (auto* list = started.Find<QComboBox>(name)) return list->currentText();
    return started.Find<QLabel>(name)->text();
}

bool Enabled(StartedWindow& started, const char* name) { return started.Find<QWidget>(name)->isEnabled(); }

void SetFrequency(zr::PagerImage& image, const char* digits) {
    for (int k = 0; k < 7; ++k) image[3 + k] = static_cast<std::uint8_t>(digits[k] - '0');
}

}  // namespace

class EditorLoadTest : public QObject {
    Q_OBJECT

private slots:
    void startUpShowsTheBuiltInImageWithFreshSynthesizerWords();
    void versionsListsAndTimes();
    void squelchLevelFollowsTheSpeakerOffThreshold();
    void privacyAndPushToListenOfALoad();
    void resetControlOfALoad();
    void frequencyBoxOfALoad();
    void aLoadSwitchingACallOnTakesItsTonesOnlyWhenTheSwitchChanges();
    void writeModeStaysGreyedThroughALoad();
    void imagesNoEditorWroteLoadWithoutHarm();
};

void EditorLoadTest::startUpShowsTheBuiltInImageWithFreshSynthesizerWords() {
    MessageRecorder messages;
    StartedWindow started;
    QCOMPARE(messages.messages.size(), std::size_t(1));  // the board check's, nothing from the load
    QCOMPARE(Text(started, "edtFreq"), QString("1590000"));
    QCOMPARE(Text(started, "cboRangeFreq"), QString("135-174 MHz"));
    QCOMPARE(Text(started, "cboCSpace"), QString("Auto"));
    QCOMPARE(Text(started, "lblPLLR"), QString("00008011"));
    QCOMPARE(Text(started, "lblPLLN"), QString("000AC000"));
    QCOMPARE(Text(started, "lblMUTL"), QString("1"));
    QCOMPARE(started->Editors().State().settings.channelStep, 25000u);

    // Call 1 is on, the others off; the tones as stored.
    QVERIFY(started.Find<QCheckBox>("chkDuty1")->isChecked());
    QVERIFY(Enabled(started, "edtT11") && Enabled(started, "chkPriority1"));
    QVERIFY(!started.Find<QCheckBox>("chkDuty2")->isChecked() && !Enabled(started, "edtT12"));
    QVERIFY(!Enabled(started, "edtT31") && !Enabled(started, "edtT32"));
    const std::vector<std::pair<const char*, const char*>> shown = {
        {"edtT11", "669.9"},          {"edtT21", "707.3"},       {"edtT14", "539.0"},      {"edtT24", "1122.5"},
        {"edtT31", "330.5"},          {"edtT32", "600.9"},       {"edtBS_Period", "15"},   {"edtBS_Duty", "1"},
        {"edtTone1Limit", "1"},       {"edtTone1Len", "3"},      {"edtTone3Len", "50"},    {"edtRFDelay", "35"},
        {"edtNoiseLimit", "1"},       {"edtGapMax", "5"},        {"edtSquelch", "7"},      {"edtRSSI", "0.71"},
        {"edtSSI", "0.80"},           {"edtRSSI2", "0.96"},      {"edtAutoMonitor", "3.0"}, {"edtAudioLock", "6.0"},
        {"edtDelay", "8.0"},          {"edtDecorderReset", "30.0"}, {"edtDelayFullTime", "6.0"},
        {"cboSQL", "5"},              {"cboBandWidth", "1.5"},   {"cboReminder", "120 Second"},
        {"cboRecordMax", "4 sections (30 second)"},              {"cboPTL", "Disable"},    {"cboResetCon", "Auto Reset"},
        {"cboPeriodBat", "Disable"},  {"edtVersion", "0.00"},    {"edtSQL_OFF2", "0.88"},  {"edtSQL_ON4", "0.96"},
        {"edtAlertTime1", "0.0"}};
    for (const auto& [name, text] : shown) QVERIFY2(Text(started, name) == QString(text), name);
    QCOMPARE(started.Find<QComboBox>("cboResetCon")->count(), 6);
    QVERIFY(started.Find<QCheckBox>("chkSYSSV")->isChecked() && started.Find<QCheckBox>("chkSYSAudio")->isChecked());
    QVERIFY(started.Find<QCheckBox>("chkVolumeLevel")->isChecked());
    QVERIFY(!started.Find<QCheckBox>("chkFullTimeAutoMonitor")->isChecked() && !Enabled(started, "edtDelayFullTime"));
    QVERIFY(Enabled(started, "cboRecordMax") && Enabled(started, "edtAudioLock") && Enabled(started, "cboPTL"));

    // The load rewrote the synthesizer words, and the tone-2 code of call 1, which it switched on.
    const zr::PagerImage builtIn = zr::StartupImage();
    std::set<std::size_t> changed;
    for (std::size_t offset = 0; offset < zr::kImageSize; ++offset)
        if (started->Image()[offset] != builtIn[offset]) changed.insert(offset);
    QCOMPARE(changed, (std::set<std::size_t>{18, 121, 122, 125, 126}));
    QCOMPARE(zr::GetWord32(started->Image(), 120), 0x00008011u);
    QCOMPARE(zr::GetWord32(started->Image(), 124), 0x000AC000u);
    QCOMPARE(zr::GetWord16(started->Image(), 18), zr::EncodeToneCode(7073));

    // What a load leaves, loaded again, stays as it is: a table saved and opened again does not drift.
    const zr::PagerImage asLoaded = started->Image();
    EditorDriver(started).Load(asLoaded);
    QCOMPARE(started->Image(), asLoaded);
}

void EditorLoadTest::versionsListsAndTimes() {
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    zr::PagerImage image = editor.Image();
    image[1] = 5;
    image[2] = 9;
    image[70] = 100;  // reminder
    image[63] = 98;   // low battery 1.14 v
    image[84] = 10;   // low battery reminder 5 min
    image[96] = 0x83; // call 1: priority alert, alert type 3
    image[97] = 16;   // call 1 alert time 8.0 s
    image[113] = 255;
    editor.Load(image);
    QCOMPARE(Text(started, "edtVersion"), QString("5.90"));
    QCOMPARE(Text(started, "cboReminder"), QString("60  Second"));
    QCOMPARE(editor.Image()[70], 120);
    QCOMPARE(Text(started, "cboBatteryLow"), QString("1.14 v"));
    QCOMPARE(Text(started, "cboPeriodBat"), QString("5 min"));
    QCOMPARE(Text(started, "cboAlertType1"), QString("3"));
    QVERIFY(started.Find<QCheckBox>("chkPriority1")->isChecked());
    QCOMPARE(Text(started, "edtAlertTime1"), QString("8.0"));
    QCOMPARE(Text(started, "edtGAlertTime1"), QString("127.5"));

    // Codes no item stands for leave those lists as they were, and the bytes as they are.
    image[2] = 10;
    image[63] = 103;
    image[84] = 7;
    image[62] = 3;
    editor.Load(image);
    QCOMPARE(Text(started, "edtVersion"), QString("5.10"));
    QCOMPARE(Text(started, "cboBatteryLow"), QString("1.14 v"));
    QCOMPARE(Text(started, "cboPeriodBat"), QString("5 min"));
    QCOMPARE(started.Find<QComboBox>("cboRecordMax")->currentIndex(), -1);
    QCOMPARE(editor.Image()[63], 103);
    QCOMPARE(editor.Image()[84], 7);
    QCOMPARE(editor.Image()[62], 3);
    QCOMPARE(messages.messages.size(), std::size_t(1));
}

void EditorLoadTest::squelchLevelFollowsTheSpeakerOffThreshold() {
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    zr::PagerImage image = editor.Image();
    image[79] = 82;  // 0.96 V: level 1; its ON byte 70 belongs to no level and stays
    image[76] = 70;
    editor.Load(image);
    QCOMPARE(Text(started, "cboSQL"), QString("1"));
    QCOMPARE(editor.Image()[76], 70);
    image[79] = 81;  // shown as 0.95, which no level has: the selection stays
    editor.Load(image);
    QCOMPARE(Text(started, "edtSSI"), QString("0.95"));
    QCOMPARE(Text(started, "cboSQL"), QString("1"));
    image[79] = 68;
    editor.Load(image);
    QCOMPARE(Text(started, "cboSQL"), QString("5"));
    QCOMPARE(editor.Image()[79], 68);
}

void EditorLoadTest::privacyAndPushToListenOfALoad() {
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    zr::PagerImage image = editor.Image();
    image[69] = 0x80 | 0x02;  // privacy, Push To Listen; audio lock and save voice off
    image[81] |= 0x10;        // vibration only
    editor.Load(image);
    for (const char* name : {"edtAutoMonitor", "edtAudioLock", "cboPTL", "chkSYSAudio", "Label75", "cboRecordMax"})
        QVERIFY2(!Enabled(started, name), name);
    // Privacy switched Push To Listen off as the box was set: all six reset modes are offered.
    QCOMPARE(Text(started, "cboPTL"), QString("Disable"));
    QCOMPARE(started.Find<QComboBox>("cboResetCon")->count(), 6);
    QCOMPARE(editor.Image()[69], 0x80);

    // Without privacy the audio lock time is usable even with "Audio lock on" off; Push To Listen
    // comes back in the stored mode and offers four reset modes.
    image[69] = 0x02;
    editor.Load(image);
    QVERIFY(Enabled(started, "edtAudioLock") && Enabled(started, "edtAutoMonitor") && Enabled(started, "cboPTL"));
    QVERIFY(!started.Find<QCheckBox>("chkSYSAudio")->isChecked());
    QCOMPARE(Text(started, "cboPTL"), QString("Vibration Mode Only"));
    QCOMPARE(started.Find<QComboBox>("cboResetCon")->count(), 4);
}

void EditorLoadTest::resetControlOfALoad() {
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    zr::PagerImage image = editor.Image();
    image[67] = 4;
    editor.Load(image);
    QCOMPARE(Text(started, "cboResetCon"), QString("Time-Out RESET"));
    QVERIFY(!started.Find<QWidget>("edtDelay")->isHidden() && !started.Find<QWidget>("Label32")->isHidden());
    // Push To Listen on turns "Revert SQ" into "Auto Reset".
    image[67] = 2;
    image[69] |= 0x02;
    editor.Load(image);
    QCOMPARE(Text(started, "cboResetCon"), QString("Auto Reset"));
    QCOMPARE(editor.Image()[67], 0);
    QVERIFY(started.Find<QWidget>("edtDelay")->isHidden());
    // A code no mode has selects nothing and is kept.
    image[67] = 9;
    image[69] &= ~0x02;
    editor.Load(image);
    QCOMPARE(started.Find<QComboBox>("cboResetCon")->currentIndex(), -1);
    QCOMPARE(editor.Image()[67], 9);
}

void EditorLoadTest::frequencyBoxOfALoad() {
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    messages.Clear();
    zr::PagerImage image = editor.Image();
    SetFrequency(image, "4620125");
    image[10] = 2;
    editor.Load(image);
    QCOMPARE(Text(started, "cboRangeFreq"), QString("400-499 MHz"));
    QCOMPARE(Text(started, "cboCSpace"), QString("6.25 K"));
    QCOMPARE(Text(started, "edtFreq"), QString("4620125"));
    QCOMPARE(Text(started, "lblMUTL"), QString("2"));
    QCOMPARE(Text(started, "lblPLLR"), QString("00040011"));
    QCOMPARE(Text(started, "lblPLLN"), QString("0089B100"));
    QCOMPARE(zr::GetWord32(editor.Image(), 124), 0x0089B100u);

    // Auto code 33 in the 135-174 MHz band: 159.0125 MHz takes the 12.5 kHz step.
    SetFrequency(image, "1590125");
    image[10] = 33;
    editor.Load(image);
    QCOMPARE(Text(started, "cboCSpace"), QString("Auto"));
    QCOMPARE(editor.Image()[10], 33);
    QCOMPARE(started->Editors().State().settings.channelStep, 12500u);
    QVERIFY(messages.messages.empty());

    // A frequency outside its band is refused during the load; the load goes on and the words stay.
    SetFrequency(image, "1000000");
    image[10] = 0;
    image[83] = 9;
    editor.Load(image);
    // The band pick, the frequency exit it runs and the spacing pick of the load each refuse it.
    const std::string bandError = "Frequency setting error(1350000 < = Frequency < =1740000 )";
    QCOMPARE(messages.Texts(), (std::vector<std::string>{bandError, bandError, bandError}));
    QCOMPARE(messages.messages.front().caption, std::string("ZR250Pro V1.0.7"));
    QCOMPARE(zr::GetWord32(editor.Image(), 120), zr::GetWord32(image, 120));
    QCOMPARE(zr::GetWord32(editor.Image(), 124), zr::GetWord32(image, 124));
    QCOMPARE(Text(started, "edtSquelch"), QString("9"));
}

void EditorLoadTest::aLoadSwitchingACallOnTakesItsTonesOnlyWhenTheSwitchChanges() {
    MessageRecorder messages;
    zr::test::FileDialogAnswers dialogs;
    StartedWindow started;
    EditorDriver editor(started);
    zr::PagerImage table = zr::StartupImage();
    table[48] |= 0x04;                // call 3 on
    zr::SetWord16(table, 200, 10000); // at 1000.0 Hz, no standard tone
    const auto path = started.folder() / "call3.tbl";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(table.bytes.data()), zr::kImageSize);
    auto* open = started.Find<QAction>("OpenO1");

    // The window shows call 3 off: the load switches it on, which takes its tones in Standard Mode.
    dialogs.choices.push_back(path);
    open->trigger();
    QCOMPARE(zr::GetWord16(editor.Image(), 200), 10069);
    QCOMPARE(Text(started, "edtT13"), QString("1006.9"));
    QVERIFY(started.Find<QCheckBox>("chkDuty3")->isChecked());

    // Opened again, the switch does not change: nothing is taken again.
    dialogs.choices.push_back(path);
    open->trigger();
    QCOMPARE(zr::GetWord16(editor.Image(), 200), 10000);
    QCOMPARE(Text(started, "edtT13"), QString("1000.0"));
}

void EditorLoadTest::writeModeStaysGreyedThroughALoad() {
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    zr::test::ClickMark(started.Find<QRadioButton>("RBtWrite"));
    zr::PagerImage image = editor.Image();
    image[48] = 0x0F;
    image[81] |= 0x04;
    editor.Load(image);
    for (const char* name : {"edtT11", "edtT14", "chkDuty4", "edtFreq", "cboPTL", "edtAudioLock", "edtDelayFullTime"})
        QVERIFY2(!Enabled(started, name), name);
    QVERIFY(Enabled(started, "edtVersion"));
    QCOMPARE(Text(started, "edtT14"), QString("539.0"));
    // Back in Modify Mode the calls the load switched on are editable.
    zr::test::ClickMark(started.Find<QRadioButton>("RBtModify"));
    QVERIFY(Enabled(started, "edtT14"));
}

void EditorLoadTest::imagesNoEditorWroteLoadWithoutHarm() {
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    std::mt19937 random(250);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 40; ++round) {
        zr::PagerImage image;
        for (auto& value : image.bytes) value = static_cast<std::uint8_t>(byte(random));
        editor.Load(image);
        for (QComboBox* list : started->findChildren<QComboBox*>())
            QVERIFY2(list->currentIndex() < list->count(), qPrintable(list->objectName()));
        // A load writes only the bytes its handlers own.
        for (std::size_t offset = 0; offset < zr::kImageSize; ++offset) {
            if (editor.Image()[offset] == image[offset]) continue;
            const bool owned = (offset >= 3 && offset <= 10) || (offset >= 120 && offset <= 127) || offset == 67 ||
                               offset == 69 || offset == 70 || offset == 81 || offset == 128 || (offset >= 16 && offset <= 31) ||
                               (offset >= 87 && offset <= 90) || (offset >= 192 && offset <= 207) || (offset >= 224 && offset <= 227);
            QVERIFY2(owned, qPrintable(QString::number(offset)));
        }
    }
}

QTEST_MAIN(EditorLoadTest)
#include "editor_load_test.moc"

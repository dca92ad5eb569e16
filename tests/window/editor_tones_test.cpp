// The CALL page in the window: tone entry in both modes with its messages and where the focus
// goes, the hint labels, the tone table opened by a double click or F9, and the call switches.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "editor_driver.h"
#include "field_editors.h"
#include "tone_table_dialog.h"
#include "tone_code.h"
#include "tone_entry.h"

using zr::test::EditorDriver;
using zr::test::MessageRecorder;
using zr::test::StartedWindow;

namespace {

const std::string kSpacing = zr::ToneSpacingMessage(15).text;
const std::string kStandardRange = zr::StandardToneRangeMessage().text;
const std::string kUserRange = zr::UserToneRangeMessage().text;

std::uint16_t Word(const zr::PagerImage& image, std::size_t offset) { return zr::GetWord16(image, offset); }

}  // namespace

class EditorTonesTest : public QObject {
    Q_OBJECT

private slots:
    void toneEntry_data();
    void toneEntry();
    void enterKeyStoresAndParksTheFocusOnEdtNull();
    void keyFilterTakesOneDecimal();
    void spacingRuleFollowsSwitchedOnCallsAndTheDecoderBandwidth();
    void hintLabelsAndTheMouseOverTheWindow();
    void toneTablePicksIntoTheCurrentField();
    void toneTableEveryWayOutPicks();
    void toneTableIsForStandardModeAndFieldsThatTakeEntries();
    void callSwitchesStoreTheirBitAndGreyTheirControls();
    void switchingACallOnTakesItsTonesAgain();
    void priorityBoxesStoreBitSeven();
};

void EditorTonesTest::toneEntry_data() {
    QTest::addColumn<bool>("user");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");  // empty: none
    QTest::addColumn<QString>("shown");    // the field's text afterwards
    QTest::addColumn<bool>("focusBack");
    QTest::addColumn<int>("stored");  // the tone word afterwards, in tenths

    // Call 1 starts with 669.9 and 707.3 Hz, group call 1 with 330.5 Hz; group call 1 is switched on first.
    QTest::newRow("standard snaps 670") << false << "edtT11" << "670" << "" << "669.9" << false << 6699;
    QTest::newRow("standard tie goes up") << false << "edtT11" << "292.5" << "" << "296.5" << false << 2965;
    QTest::newRow("standard below") << false << "edtT11" << "288.4" << QString::fromStdString(kStandardRange) << ""
                                    << true << 6699;
    QTest::newRow("standard above") << false << "edtT21" << "2468.3" << QString::fromStdString(kStandardRange) << ""
                                    << true << 7073;
    QTest::newRow("standard group out of range shows the stored tone")
        << false << "edtT31" << "100" << QString::fromStdString(kStandardRange) << "330.5" << true << 3305;
    QTest::newRow("standard same tone as tone 2")
        << false << "edtT11" << "707.3" << QString::fromStdString(kSpacing) << "669.9" << false << 6699;
    QTest::newRow("user lowest") << true << "edtT11" << "280" << "" << "280.0" << false << 2800;
    QTest::newRow("user highest") << true << "edtT21" << "3500" << "" << "3500.0" << false << 35000;
    QTest::newRow("user below keeps the text") << true << "edtT11" << "279.9" << QString::fromStdString(kUserRange)
                                               << "279.9" << true << 6699;
    QTest::newRow("user above") << true << "edtT31" << "3500.1" << QString::fromStdString(kUserRange) << "3500.1"
                                << true << 3305;
    QTest::newRow("user same tone as tone 1")
        << true << "edtT21" << "669.9" << QString::fromStdString(kSpacing) << "707.3" << false << 7073;
    QTest::newRow("left empty keeps the tone") << true << "edtT21" << "" << "" << "707.3" << false << 7073;
}

void EditorTonesTest::toneEntry() {
    QFETCH(bool, user);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QFETCH(bool, focusBack);
    QFETCH(int, stored);
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    messages.Clear();  // the start-up board check's
    editor.Click("chkGDuty1");
    if (user) editor.UseUserMode();
    messages.Clear();
    const zr::ToneField tone = field == "edtT11"   ? zr::ToneField{zr::ToneKind::Tone1, 1}
                               : field == "edtT21" ? zr::ToneField{zr::ToneKind::Tone2, 1}
                                                   : zr::ToneField{zr::ToneKind::Group, 1};
    const zr::PagerImage before = editor.Image();

    const QByteArray name = field.toLatin1();
    editor.Entry(name.constData(), typed);

    QCOMPARE(messages.Texts(), message.isEmpty() ? std::vector<std::string>{}
                                                 : std::vector<std::string>{message.toStdString()});
    QCOMPARE(editor.Edit(name.constData())->text(), shown);
    QCOMPARE(editor.Focused() == editor.Edit(name.constData()), focusBack);
    QCOMPARE(int(Word(editor.Image(), zr::ToneFrequencyOffset(tone))), stored);
    if (stored != Word(before, zr::ToneFrequencyOffset(tone)))
        QCOMPARE(Word(editor.Image(), zr::ToneCodeOffset(tone)), zr::EncodeToneCode(std::uint16_t(stored)));
    else if (!message.isEmpty())
        QCOMPARE(editor.Image(), before);  // a refusal changes nothing
    // The spacing rule forgets the current tone field; a range refusal keeps it.
    QCOMPARE(started->Editors().State().tones.currentToneField.has_value(), message.toStdString() != kSpacing);
}

void EditorTonesTest::enterKeyStoresAndParksTheFocusOnEdtNull() {
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    messages.Clear();  // the start-up board check's
    editor.UseUserMode();
    editor.Enter("edtT11");
    editor.Type("669.9");
    editor.Key(Qt::Key_Return);
    QCOMPARE(editor.Focused(), editor.Edit("edtNull"));
    QCOMPARE(editor.Image()[192], 0x1A);
    QCOMPARE(editor.Image()[193], 0x2B);
    QCOMPARE(Word(editor.Image(), 16), 0x8B0B);

    // A refused entry shows its message once and keeps the focus for the correction.
    messages.Clear();
    editor.Enter("edtT12");  // call 2 is off: its field cannot be entered
    QVERIFY(editor.Focused() != editor.Edit("edtT12"));
    editor.Enter("edtT21");
    editor.Type("3600");
    editor.Key(Qt::Key_Enter);
    QCOMPARE(messages.Texts(), std::vector<std::string>{kUserRange});
    QCOMPARE(editor.Focused(), editor.Edit("edtT21"));
    QVERIFY(started->isActiveWindow());
    // The field still has the entry, shown with one decimal; correcting it there stores it.
    QCOMPARE(editor.Edit("edtT21")->text(), QString("3600.0"));
    for (int i = 0; i < 6; ++i) editor.Key(Qt::Key_Backspace);
    editor.Type("350");
    editor.Key(Qt::Key_Return);
    QCOMPARE(editor.Focused(), editor.Edit("edtNull"));
    QCOMPARE(Word(editor.Image(), 194), 3500);
    QCOMPARE(editor.Edit("edtT21")->text(), QString("350.0"));
    QCOMPARE(messages.Texts(), std::vector<std::string>{kUserRange});
}

void EditorTonesTest::keyFilterTakesOneDecimal() {
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    messages.Clear();  // the start-up board check's
    editor.Enter("edtT11");
    editor.Type(".6a69.9.95");  // a leading point, a letter, a second point and a second decimal are swallowed
    QCOMPARE(editor.Edit("edtT11")->text(), QString("669.9"));
    editor.Key(Qt::Key_Backspace);
    QCOMPARE(editor.Edit("edtT11")->text(), QString("669."));
    QVERIFY(messages.messages.empty());
}

void EditorTonesTest::spacingRuleFollowsSwitchedOnCallsAndTheDecoderBandwidth() {
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    messages.Clear();  // the start-up board check's
    editor.UseUserMode();
    editor.Click("chkDuty2");
    editor.Entry("edtT12", "1000");
    messages.Clear();
    for (const char* tooNear : {"1014.9", "985.1"}) {
        editor.Entry("edtT11", tooNear);
        QCOMPARE(editor.Edit("edtT11")->text(), QString("669.9"));
    }
    QCOMPARE(messages.Texts(), (std::vector<std::string>{kSpacing, kSpacing}));
    editor.Entry("edtT11", "1015");
    QCOMPARE(Word(editor.Image(), 192), 10150);

    // Switched off, call 2 no longer counts.
    messages.Clear();
    editor.Click("chkDuty2");
    editor.Entry("edtT11", "1000.1");
    QCOMPARE(Word(editor.Image(), 192), 10001);
    QVERIFY(messages.messages.empty());

    // A Decoder Bandwidth pick narrows the rule and names the new minimum.
    editor.Click("chkDuty2");
    editor.Pick("cboBandWidth", "0.5");
    QCOMPARE(editor.Image()[49], 2);
    editor.Entry("edtT11", "1006");
    QCOMPARE(Word(editor.Image(), 192), 10060);
    messages.Clear();
    editor.Entry("edtT11", "1004");
    QCOMPARE(messages.Texts(), std::vector<std::string>{zr::ToneSpacingMessage(5).text});
    QVERIFY(messages.Texts().front().find("minimum of 0.5%.") != std::string::npos);
}

void EditorTonesTest::hintLabelsAndTheMouseOverTheWindow() {
#ifdef _WIN32
    QSKIP("Wine hands the pointer's movements to the window on its own schedule, so a movement the test makes may "
          "come late or not at all; the mouse-over rule is the same code as on Linux, where it is tested");
#endif
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    messages.Clear();  // the start-up board check's
    const auto hintShown = [&] {
        return started.Find<QLabel>("Label9")->isVisible() && started.Find<QLabel>("Label1")->isVisible() &&
               started.Find<QLabel>("Label2")->isVisible();
    };
    QVERIFY(!hintShown());
    editor.Enter("edtT21");
    QVERIFY(hintShown());
    QCOMPARE(editor.Edit("edtT21")->text(), QString());
    editor.Leave();
    QVERIFY(hintShown());  // only the mouse over the window hides it

    // The mouse over the tones' group box ends a tone entry at once: validated, refused, hint gone.
    editor.Enter("edtT11");
    editor.Type("100");
    auto* calls = started.Find<QGroupBox>("GroupBox2");
    QTest::mouseMove(calls, QPoint(calls->width() - 6, calls->height() / 2));
    QTRY_COMPARE(messages.Texts(), std::vector<std::string>{kStandardRange});
    QVERIFY(!hintShown());
    // The refused field has the focus back, emptied; the next movement leaves it with the stored
    // tone, and the one after, with no field to leave, forgets the current tone field.
    QCOMPARE(editor.Focused(), editor.Edit("edtT11"));
    QTest::mouseMove(calls, QPoint(calls->width() - 8, calls->height() / 2));
    QTRY_COMPARE(editor.Focused(), editor.Edit("edtNull"));
    QCOMPARE(editor.Edit("edtT11")->text(), QString("669.9"));
    QVERIFY(started->Editors().State().tones.currentToneField.has_value());
    QTest::mouseMove(calls, QPoint(calls->width() - 10, calls->height() / 2));
    QTRY_VERIFY(!started->Editors().State().tones.currentToneField.has_value());
    QCOMPARE(messages.Texts(), std::vector<std::string>{kStandardRange});

    // User Mode leaves the labels as they are.
    editor.UseUserMode();
    editor.Enter("edtT21");
    QVERIFY(!hintShown());
    QVERIFY(started->Editors().State().tones.currentToneField == (zr::ToneField{zr::ToneKind::Tone2, 1}));
}

void EditorTonesTest::toneTablePicksIntoTheCurrentField() {
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    messages.Clear();  // the start-up board check's
    editor.Click("chkDuty3");
    editor.Enter("edtT13");
    editor.OnToneTable([](ToneTableDialog&, QTableWidget& grid) { EditorDriver::DoubleClickTone(grid, 2, 3); });
    editor.Key(Qt::Key_F9);
    QCOMPARE(editor.Edit("edtT13")->text(), QString("669.9"));
    QCOMPARE(editor.Image()[200], 0x1A);
    QCOMPARE(editor.Image()[201], 0x2B);
    QCOMPARE(Word(editor.Image(), 24), 0x8B0B);
    QVERIFY(!started.window().findChild<ToneTableDialog*>()->isVisible());
    QTRY_VERIFY(started->isActiveWindow());
    QVERIFY(!started->Editors().State().tones.currentToneField.has_value());

    // F9 without a current tone field does nothing.
    const zr::PagerImage afterPick = editor.Image();
    editor.Key(Qt::Key_F9);
    QVERIFY(!started.window().findChild<ToneTableDialog*>()->isVisible());
    QCOMPARE(editor.Image(), afterPick);

    // A double click opens the table for that field; the tone of the other field of the call is refused.
    messages.Clear();
    editor.OnToneTable([](ToneTableDialog&, QTableWidget& grid) { EditorDriver::DoubleClickTone(grid, 2, 3); });
    editor.DoubleClickField("edtT23");
    QCOMPARE(messages.Texts(), std::vector<std::string>{kSpacing});
    QCOMPARE(editor.Edit("edtT23")->text(), QString("510.5"));  // call 3's stored tone 2
    QCOMPARE(editor.Image(), afterPick);

    // Group call 2: no same-call test; frequency at 226..227, code at 89..90.
    editor.Click("chkGDuty2");
    editor.OnToneTable([](ToneTableDialog&, QTableWidget& grid) { EditorDriver::DoubleClickTone(grid, 11, 9); });
    editor.DoubleClickField("edtT32");
    QCOMPARE(Word(editor.Image(), 226), 24682);
    QCOMPARE(Word(editor.Image(), 89), zr::EncodeToneCode(24682));
    QCOMPARE(editor.Edit("edtT32")->text(), QString("2468.2"));
}

void EditorTonesTest::toneTableEveryWayOutPicks() {
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    messages.Clear();  // the start-up board check's
    // The first opening starts on 330.5 Hz; the Exit button picks it.
    editor.OnToneTable([](ToneTableDialog& table, QTableWidget&) { table.findChild<QPushButton*>("btnExit")->click(); });
    editor.DoubleClickField("edtT11");
    QCOMPARE(Word(editor.Image(), 192), 3305);
    // The current cell stays; moved one down, Esc picks it.
    editor.OnToneTable([](ToneTableDialog&, QTableWidget& grid) {
        QTest::keyClick(&grid, Qt::Key_Down);
        QTest::keyClick(&grid, Qt::Key_Escape);
    });
    editor.DoubleClickField("edtT11");
    QCOMPARE(Word(editor.Image(), 192), 3490);
    // The close box picks too.
    editor.OnToneTable([](ToneTableDialog& table, QTableWidget& grid) {
        QTest::keyClick(&grid, Qt::Key_Down);
        table.close();
    });
    editor.DoubleClickField("edtT11");
    QCOMPARE(Word(editor.Image(), 192), 3685);
    QVERIFY(messages.messages.empty());
}

void EditorTonesTest::toneTableIsForStandardModeAndFieldsThatTakeEntries() {
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    messages.Clear();  // the start-up board check's
    editor.UseUserMode();
    const zr::PagerImage before = editor.Image();
    editor.DoubleClickField("edtT11");
    editor.Key(Qt::Key_F9);
    QVERIFY(!started.window().findChild<ToneTableDialog*>()->isVisible());
    editor.Leave();
    QCOMPARE(editor.Image(), before);

    // In Write Mode the field that was current takes no tone from F9 (the table would pick on
    // closing, whatever way it is closed).
    editor.UseStandardMode();
    editor.Click("chkDuty2");
    editor.Enter("edtT12");
    editor.Leave();
    zr::test::ClickMark(started.Find<QRadioButton>("RBtWrite"));
    QVERIFY(started->Editors().State().tones.currentToneField.has_value());
    const zr::PagerImage written = editor.Image();
    QTest::keyClick(&started.window(), Qt::Key_F9);
    QVERIFY(!started.window().findChild<ToneTableDialog*>()->isVisible());
    QCOMPARE(editor.Image(), written);
}

void EditorTonesTest::callSwitchesStoreTheirBitAndGreyTheirControls() {
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    messages.Clear();  // the start-up board check's
    const auto callControlsEnabled = [&](bool enabled) {
        for (const char* name : {"edtT12", "edtT22", "chkPriority2", "cboAlertType2", "edtAlertTime2"})
            if (started.Find<QWidget>(name)->isEnabled() != enabled) return false;
        return true;
    };
    QVERIFY(callControlsEnabled(false));
    editor.Click("chkDuty2");
    QCOMPARE(editor.Image()[48] & 0x02, 0x02);
    QVERIFY(callControlsEnabled(true));
    editor.UseUserMode();
    editor.Entry("edtT12", "1234.5");
    const zr::PagerImage on = editor.Image();
    editor.Click("chkDuty2");
    QCOMPARE(editor.Image()[48] & 0x02, 0);
    QVERIFY(callControlsEnabled(false));
    QCOMPARE(Word(editor.Image(), 196), Word(on, 196));
    QCOMPARE(Word(editor.Image(), 20), Word(on, 20));

    editor.Click("chkGDuty1");
    QCOMPARE(editor.Image()[95], 0x01);
    QVERIFY(started.Find<QWidget>("edtT31")->isEnabled());
    QVERIFY(messages.messages.empty());
}

void EditorTonesTest::switchingACallOnTakesItsTonesAgain() {
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    messages.Clear();  // the start-up board check's
    zr::PagerImage image = editor.Image();
    zr::SetWord16(image, 200, 10000);  // call 3: 1000.0 Hz and 1000.0 Hz
    zr::SetWord16(image, 202, 10000);
    zr::SetWord16(image, 204, 10100);  // call 4 tone 1: 1010.0 Hz
    editor.Load(image);
    messages.Clear();

    // Equal tones: the spacing message once for each tone; the call stays on with its tones.
    editor.Click("chkDuty3");
    QCOMPARE(messages.Texts(), (std::vector<std::string>{kSpacing, kSpacing}));
    QCOMPARE(editor.Image()[48] & 0x04, 0x04);
    QCOMPARE(Word(editor.Image(), 200), 10000);

    // Standard Mode takes the nearest standard tone, with a fresh code.
    editor.Click("chkDuty3");
    zr::SetWord16(image, 202, 14334);
    editor.Load(image);
    messages.Clear();
    editor.Click("chkDuty3");
    QVERIFY(messages.messages.empty());
    QCOMPARE(Word(editor.Image(), 200), 10069);
    QCOMPARE(editor.Edit("edtT13")->text(), QString("1006.9"));
    QCOMPARE(Word(editor.Image(), 24), zr::EncodeToneCode(10069));

    // User Mode: a tone too near a switched-on call's tone is refused; the call is on all the same.
    editor.UseUserMode();
    editor.Click("chkDuty4");
    QCOMPARE(messages.Texts(), std::vector<std::string>{kSpacing});
    QCOMPARE(editor.Image()[48] & 0x08, 0x08);
    QCOMPARE(Word(editor.Image(), 204), 10100);
}

void EditorTonesTest::priorityBoxesStoreBitSeven() {
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    messages.Clear();  // the start-up board check's
    zr::PagerImage image = editor.Image();
    image[100] = 0x45;
    image[48] |= 0x04;
    editor.Load(image);
    editor.Click("chkPriority3");
    QCOMPARE(editor.Image()[100], 0xC5);
    editor.Click("chkGDuty2");
    editor.Click("chkGPriority2");
    QCOMPARE(editor.Image()[114], 0x80);
    editor.Click("chkPriority3");
    QCOMPARE(editor.Image()[100], 0x45);
}

QTEST_MAIN(EditorTonesTest)
#include "editor_tones_test.moc"

// The window and the command line load an image alike: the window's controls and image after
// start-up and after each load are the core's, and the command line's Write of a table file leaves
// in a pager exactly what the window's Open then Write leaves.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QtTest>
#include <fstream>
#include <random>

#include "editor_driver.h"
#include "device_texts.h"
#include "editor_load.h"
#include "pager_simulator.h"
#include "window_harness.h"

using zr::test::EditorDriver;
using zr::test::MessageRecorder;
using zr::test::StartedWindow;

namespace {

void SetFrequency(zr::PagerImage& image, const char* digits) {
    for (int k = 0; k < 7; ++k) image[3 + k] = static_cast<std::uint8_t>(digits[k] - '0');
}

// Tables a load normalises, from the built-in image as stored.
std::vector<zr::PagerImage> NormalisedTables() {
    std::vector<zr::PagerImage> tables;
    zr::PagerImage table = zr::StartupImage();
    tables.push_back(table);
    table[67] = 2;  // "Revert SQ", Push To Listen on in vibration mode, privacy, a 100 s reminder
    table[69] = 0x87;
    table[81] |= 0x10;
    table[70] = 100;
    tables.push_back(table);
    table = zr::StartupImage();
    table[48] = 0x0E;  // calls 2..4 and group call 1 switched on with tones off the standard table
    table[95] = 0x01;
    zr::SetWord16(table, 196, 10000);
    zr::SetWord16(table, 202, 7777);
    zr::SetWord16(table, 224, 2900);
    table[67] = 5;
    table[69] = 0x02;
    tables.push_back(table);
    table = zr::StartupImage();
    SetFrequency(table, "1000000");  // outside its band: refused during the load
    table[10] = 0;
    tables.push_back(table);
    table = zr::StartupImage();
    SetFrequency(table, "4620125");
    table[10] = 2;
    table[69] = 0x80;
    tables.push_back(table);
    return tables;
}

std::vector<std::string> MessageTexts(const zr::EditorAnswer& answer) {
    std::vector<std::string> texts;
    for (const auto& message : answer.Messages()) texts.push_back(message.text);
    return texts;
}

// The window's controls that the core models, as the core would hold them.
void CompareControls(StartedWindow& started, const zr::EditorControls& core) {
    for (const auto& [name, checked] : core.checked)
        QVERIFY2(started.Find<QCheckBox>(name.c_str())->isChecked() == checked, name.c_str());
    for (const auto& [name, list] : core.lists) {
        auto* box = started.Find<QComboBox>(name.c_str());
        QVERIFY2(std::size_t(box->count()) == list.count, name.c_str());
        const int selected = list.selected ? int(*list.selected) : -1;
        QVERIFY2(box->currentIndex() == selected, name.c_str());
    }
    for (const auto& [name, text] : core.texts)
        if (auto* edit = started.Find<QLineEdit>(name.c_str()))
            QVERIFY2(edit->text().toStdString() == text, name.c_str());
}

void WriteTable(const std::filesystem::path& path, const zr::PagerImage& image) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(image.bytes.data()), zr::kImageSize);
}

}  // namespace

class FrontEndsTest : public QObject {
    Q_OBJECT

private slots:
    void theWindowLoadsAsTheCoreDoes();
    void commandLineWriteLeavesWhatOpenThenWriteLeaves();
    void readThenVerifyOnAnUntouchedPagerSucceeds();
};

void FrontEndsTest::theWindowLoadsAsTheCoreDoes() {
    MessageRecorder messages;
    StartedWindow started;
    EditorDriver editor(started);
    zr::EditorSession core = zr::StartupEditorSession();
    QCOMPARE(started->Image(), core.image);
    CompareControls(started, core.controls);

    std::vector<zr::PagerImage> images = NormalisedTables();
    std::mt19937 random(9);
    for (int i = 0; i < 20; ++i) {
        zr::PagerImage image;
        for (auto& byte : image.bytes) byte = static_cast<std::uint8_t>(random());
        images.push_back(image);
    }
    for (std::size_t i = 0; i < images.size(); ++i) {
        messages.Clear();
        editor.Load(images[i]);
        core.image = images[i];
        const auto shown = MessageTexts(core.Load());
        QVERIFY2(started->Image() == core.image, qPrintable(QString("image %1").arg(i)));
        QVERIFY2(messages.Texts() == shown, qPrintable(QString("image %1").arg(i)));
        CompareControls(started, core.controls);
    }
}

void FrontEndsTest::commandLineWriteLeavesWhatOpenThenWriteLeaves() {
    const auto tables = NormalisedTables();
    for (std::size_t i = 0; i < tables.size(); ++i) {
        zr::sim::SimulatorThread windowPager;
        zr::sim::SimulatorThread cliPager;
        MessageRecorder messages;
        zr::test::FileDialogAnswers dialogs;
        StartedWindow started(windowPager.PortPath());
        const auto path = started.folder() / "site.tbl";
        WriteTable(path, tables[i]);

        dialogs.choices.push_back(path);
        started.Find<QAction>("OpenO1")->trigger();
        // The load's messages, then the Write's box. (A frequency refused during the load keeps the
        // focus in the window, and the Write leaving the field refuses it once more there.)
        QStringList expected;
        for (const auto& message : messages.messages)
            expected << QString::fromStdString(message.caption + ": " + message.text);
        expected << QString::fromStdString(zr::WriteDoneMessage().caption + ": " + zr::WriteDoneMessage().text);
        zr::test::ClickMark(started.Find<QRadioButton>("RBtWrite"));
        started.Find<QAction>("Write1")->trigger();
        QCOMPARE(messages.messages.back(), zr::WriteDoneMessage());

        QProcess cli;
        cli.start(ZR250PRO_CLI, {"write", "--port", QString::fromStdString(cliPager.PortPath()),
                                 QString::fromStdString(path.string())});
        QVERIFY(cli.waitForFinished(30000));
        QCOMPARE(cli.exitCode(), 0);
        QVERIFY2(cliPager.simulator().Memory() == windowPager.simulator().Memory(),
                 qPrintable(QString("table %1").arg(i)));
        QCOMPARE(QString::fromUtf8(cli.readAllStandardOutput()), expected.join('\n') + '\n');
    }
}

// An untouched pager holds what the window's Write of its start-up image leaves, which Read loads
// unchanged.
void FrontEndsTest::readThenVerifyOnAnUntouchedPagerSucceeds() {
    zr::sim::SimulatorThread pager;
    MessageRecorder messages;
    StartedWindow started(pager.PortPath());
    started.Find<QAction>("Read1")->trigger();
    started.Find<QAction>("Verify1")->trigger();
    QCOMPARE(messages.messages, (std::vector<zr::Message>{zr::ReadDoneMessage(), zr::VerifyDoneMessage()}));
}

QTEST_MAIN(FrontEndsTest)
#include "front_ends_test.moc"

// The File menu: Open, Save and Save As through their dialogs, with every message, the backup beside
// a saved file, and a save that fails or meets a longer file never losing or leaving stale bytes.
#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>
#include <fstream>
#include <iterator>

#include "table_file_dialogs.h"
#include "table_files.h"
#include "window_harness.h"

using zr::test::FileDialogAnswers;
using zr::test::MessageRecorder;
using zr::test::StartedWindow;
using Kind = zr::gui::TableFileDialogKind;

namespace {

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> BytesOf(const zr::PagerImage& image) { return {image.bytes.begin(), image.bytes.end()}; }

// An image as a load leaves it (the window's own after start-up), changed in fields the load only
// reads: Battery Save, AD Delay, RF delay time and Carrier OFF delay.
zr::PagerImage SampleImage(const zr::PagerImage& loaded) {
    zr::PagerImage image = loaded;
    image[58] = 21;
    image[59] = 34;
    image[75] = 55;
    image[83] = 9;
    return image;
}

void Trigger(StartedWindow& started, const char* action) {
    started.Find<QAction>(action)->trigger();
    QVERIFY(zr::test::WaitActive(&started.window()));
}

}  // namespace

class FileMenuTest : public QObject {
    Q_OBJECT

private slots:
    void openReadsTheFileIntoTheImage();
    void openCancelledOrRefusedChangesNothing();
    void openOfAShortFileReplacesOnlyItsBytes();
    void openRepairsSquelchThresholdsOfNoLevel_data();
    void openRepairsSquelchThresholdsOfNoLevel();
    void saveAsksBeforeTheDefaultTableAndKeepsTheFirstBackup();
    void saveAsChoosesTheTargetAndShowsItsName();
    void saveAsReplacesALongerFileWhole();
    void failedSavesSayso();
    void dialogsOfferTableFilesInTheStartDirectory();
    void realOpenDialogPicksAFile();
};

void FileMenuTest::openReadsTheFileIntoTheImage() {
    MessageRecorder messages;
    FileDialogAnswers dialogs;
    StartedWindow started;
    messages.Clear();
    const zr::PagerImage sample = SampleImage(started->Image());
    WriteBytes(started.folder() / "site1.tbl", BytesOf(sample));
    dialogs.choices = {started.folder() / "site1.tbl"};
    Trigger(started, "OpenO1");
    QCOMPARE(dialogs.requests.size(), std::size_t{1});
    QCOMPARE(dialogs.requests[0].kind, Kind::Open);
    QCOMPARE(dialogs.requests[0].folder, started.folder());
    QVERIFY(messages.messages.empty());
    QCOMPARE(started->Image(), sample);
    QCOMPARE(started->SaveTarget(), std::string("default.tbl"));  // Open does not change where Save writes
}

void FileMenuTest::openCancelledOrRefusedChangesNothing() {
    MessageRecorder messages;
    FileDialogAnswers dialogs;
    StartedWindow started;
    messages.Clear();
    const zr::PagerImage before = started->Image();
    dialogs.choices = {std::nullopt, started.folder() / "missing.tbl", started.folder()};
    Trigger(started, "OpenO1");
    QVERIFY(messages.messages.empty());
    Trigger(started, "OpenO1");
    Trigger(started, "OpenO1");
    QCOMPARE(messages.messages, (std::vector<zr::Message>{zr::OpenErrorMessage(), zr::OpenErrorMessage()}));
    QCOMPARE(messages.messages[0].caption, std::string("ZR250Pro"));
    QCOMPARE(messages.messages[0].icon, zr::MessageIcon::Warning);
    QCOMPARE(started->Image(), before);
}

void FileMenuTest::openOfAShortFileReplacesOnlyItsBytes() {
    MessageRecorder messages;
    FileDialogAnswers dialogs;
    StartedWindow started;
    started->Image()[200] = 0x44;
    const zr::PagerImage before = started->Image();
    const zr::PagerImage sample = SampleImage(before);
    const std::vector<std::uint8_t> shortFile(sample.bytes.begin(), sample.bytes.begin() + 100);
    WriteBytes(started.folder() / "short.tbl", shortFile);
    dialogs.choices = {started.folder() / "short.tbl"};
    Trigger(started, "OpenO1");
    for (std::size_t offset = 0; offset < zr::kImageSize; ++offset)
        QCOMPARE(started->Image()[offset], offset < 100 ? sample[offset] : before[offset]);
}

void FileMenuTest::openRepairsSquelchThresholdsOfNoLevel_data() {
    QTest::addColumn<int>("off");
    QTest::addColumn<int>("on");
    QTest::addColumn<int>("offAfter");
    QTest::addColumn<int>("onAfter");
    QTest::newRow("level 1 pair kept") << 82 << 84 << 82 << 84;
    QTest::newRow("no level: reset to 68/82") << 100 << 100 << 68 << 82;
}

void FileMenuTest::openRepairsSquelchThresholdsOfNoLevel() {
    QFETCH(int, off);
    QFETCH(int, on);
    QFETCH(int, offAfter);
    QFETCH(int, onAfter);
    MessageRecorder messages;
    FileDialogAnswers dialogs;
    StartedWindow started;
    messages.Clear();
    zr::PagerImage image = SampleImage(started->Image());
    image[zr::kSpeakerOffOffset] = static_cast<std::uint8_t>(off);
    image[zr::kSpeakerOnOffset] = static_cast<std::uint8_t>(on);
    WriteBytes(started.folder() / "squelch.tbl", BytesOf(image));
    dialogs.choices = {started.folder() / "squelch.tbl"};
    Trigger(started, "OpenO1");
    QVERIFY(messages.messages.empty());
    QCOMPARE(int(started->Image()[zr::kSpeakerOffOffset]), offAfter);
    QCOMPARE(int(started->Image()[zr::kSpeakerOnOffset]), onAfter);
}

void FileMenuTest::saveAsksBeforeTheDefaultTableAndKeepsTheFirstBackup() {
    const zr::PagerImage original = SampleImage(zr::StartupImage());
    MessageRecorder messages;
    FileDialogAnswers dialogs;
    StartedWindow started("", [&](const std::filesystem::path& folder) {
        WriteBytes(folder / "default.tbl", BytesOf(original));
    });
    QCOMPARE(int(started->Image()[83]), 9);  // loaded at start
    messages.Clear();
    const auto table = started.folder() / "default.tbl";
    const auto backup = started.folder() / "default.BAK";

    started->Image()[83] = 1;
    messages.answers = {zr::MessageAnswer::No};
    Trigger(started, "SaveS1");
    QCOMPARE(messages.messages, (std::vector<zr::Message>{zr::DefaultTableQuestion()}));
    QCOMPARE(ReadBytes(table), BytesOf(original));
    QVERIFY(!std::filesystem::exists(backup));

    messages.answers = {zr::MessageAnswer::Yes};
    Trigger(started, "SaveS1");
    QCOMPARE(ReadBytes(table), BytesOf(started->Image()));
    QCOMPARE(ReadBytes(backup), BytesOf(original));

    started->Image()[83] = 2;
    messages.answers = {zr::MessageAnswer::Yes};
    Trigger(started, "SaveS1");
    QCOMPARE(messages.messages.size(), std::size_t{3});  // asked every time
    QCOMPARE(ReadBytes(table), BytesOf(started->Image()));
    QCOMPARE(ReadBytes(backup), BytesOf(original));  // the backup from before the first save stays
    QVERIFY(dialogs.requests.empty());                // Save shows no dialog
}

void FileMenuTest::saveAsChoosesTheTargetAndShowsItsName() {
    MessageRecorder messages;
    FileDialogAnswers dialogs;
    StartedWindow started;
    messages.Clear();
    const auto site = started.folder() / "site1.tbl";
    dialogs.choices = {std::nullopt, site};
    Trigger(started, "SaveAs1");  // cancelled: nothing
    QVERIFY(!std::filesystem::exists(site));
    QCOMPARE(started->SaveTarget(), std::string("default.tbl"));
    Trigger(started, "SaveAs1");
    QCOMPARE(dialogs.requests[1].kind, Kind::SaveAs);
    QCOMPARE(dialogs.requests[1].folder, started.folder());
    QCOMPARE(dialogs.requests[1].suggested, std::filesystem::path("default.tbl"));
    QVERIFY(messages.messages.empty());  // Save As never asks the default table question
    QCOMPARE(ReadBytes(site), BytesOf(started->Image()));
    QVERIFY(!std::filesystem::exists(started.folder() / "site1.BAK"));
    QCOMPARE(started->FileNamePanel()->text(), QString("File Name:site1.tbl"));
    QCOMPARE(started->SaveTarget(), site.string());

    // Save now writes there without asking, backing the previous version up.
    const auto firstVersion = ReadBytes(site);
    started->Image()[83] = 77;
    Trigger(started, "SaveS1");
    QVERIFY(messages.messages.empty());
    QCOMPARE(ReadBytes(site), BytesOf(started->Image()));
    QCOMPARE(ReadBytes(started.folder() / "site1.BAK"), firstVersion);

    // Below the start directory the path from there is shown; outside it the whole path.
    std::filesystem::create_directory(started.folder() / "sub");
    const auto below = started.folder() / "sub" / "x.tbl";
    dialogs.choices = {below};
    Trigger(started, "SaveAs1");
    QCOMPARE(dialogs.requests.back().folder, started.folder());
    QCOMPARE(dialogs.requests.back().suggested, std::filesystem::path("site1.tbl"));
    QCOMPARE(started->FileNamePanel()->text(), "File Name:" + QDir::toNativeSeparators("sub/x.tbl"));
    QTemporaryDir elsewhere;
    const auto other = std::filesystem::path(elsewhere.path().toStdString()) / "other.tbl";
    dialogs.choices = {other};
    Trigger(started, "SaveAs1");
    QCOMPARE(started->FileNamePanel()->text(), QString::fromStdString("File Name:" + other.string()));

    // The next Save As opens where the last one saved, proposing that file's name.
    dialogs.choices = {std::nullopt};
    Trigger(started, "SaveAs1");
    QCOMPARE(dialogs.requests.back().folder, other.parent_path());
    QCOMPARE(dialogs.requests.back().suggested, std::filesystem::path("other.tbl"));
}

void FileMenuTest::saveAsReplacesALongerFileWhole() {
    MessageRecorder messages;
    FileDialogAnswers dialogs;
    StartedWindow started;
    const auto longer = started.folder() / "longer.tbl";
    WriteBytes(longer, std::vector<std::uint8_t>(300, 0xEE));
    dialogs.choices = {longer};
    Trigger(started, "SaveAs1");
    // No stale bytes of the old file after the image: a table file is exactly the image.
    QCOMPARE(ReadBytes(longer), BytesOf(started->Image()));
}

void FileMenuTest::failedSavesSayso() {
    MessageRecorder messages;
    FileDialogAnswers dialogs;
    StartedWindow started;
    messages.Clear();
    const auto unreachable = started.folder() / "no-such-folder" / "site.tbl";
    dialogs.choices = {unreachable};
    Trigger(started, "SaveAs1");
    Trigger(started, "SaveS1");
    QCOMPARE(messages.messages, (std::vector<zr::Message>{zr::SaveErrorMessage(), zr::SaveErrorMessage()}));
    QVERIFY(started->FileNamePanel()->text().isEmpty());
    QVERIFY(!std::filesystem::exists(unreachable));

    // After a saved file, a failed Save As leaves the panel naming no file Save will not write.
    dialogs.choices = {started.folder() / "site1.tbl", unreachable};
    Trigger(started, "SaveAs1");
    QCOMPARE(started->FileNamePanel()->text(), QString("File Name:site1.tbl"));
    Trigger(started, "SaveAs1");
    QVERIFY(started->FileNamePanel()->text().isEmpty());
    QCOMPARE(started->SaveTarget(), unreachable.string());
}

void FileMenuTest::dialogsOfferTableFilesInTheStartDirectory() {
    QTemporaryDir start;
    const std::filesystem::path folder = start.path().toStdString();
    const auto open = zr::gui::MakeTableFileDialog(nullptr, Kind::Open, folder);
    QCOMPARE(open->nameFilters(), QStringList{"Table files (*.tbl)"});
    QCOMPARE(open->defaultSuffix(), QString("tbl"));
    QCOMPARE(open->directory().absolutePath(), start.path());
    QCOMPARE(open->acceptMode(), QFileDialog::AcceptOpen);
    QCOMPARE(open->fileMode(), QFileDialog::ExistingFile);
    QCOMPARE(open->windowTitle(), QString("Open"));

    const auto save = zr::gui::MakeTableFileDialog(nullptr, Kind::SaveAs, folder, "default.tbl");
    QCOMPARE(save->nameFilters(), QStringList{"Table files (*.tbl)"});
    QCOMPARE(save->defaultSuffix(), QString("tbl"));
    QCOMPARE(save->acceptMode(), QFileDialog::AcceptSave);
    QCOMPARE(save->windowTitle(), QString("Save As"));
    QVERIFY(!save->testOption(QFileDialog::DontConfirmOverwrite));
#ifndef _WIN32  // Windows' own dialog takes the suggested name only once it is shown
    QCOMPARE(save->selectedFiles(), QStringList{QString::fromStdString((folder / "default.tbl").string())});
#endif
}

void FileMenuTest::realOpenDialogPicksAFile() {
#ifdef _WIN32
    QSKIP("Windows shows its own file dialog, which the test cannot fill in; the dialog's settings are tested above");
#endif
    MessageRecorder messages;
    StartedWindow started;
    const zr::PagerImage sample = SampleImage(started->Image());
    WriteBytes(started.folder() / "picked.tbl", BytesOf(sample));
    bool dialogSeen = false;
    QTimer::singleShot(100, &started.window(), [&] {
        for (QFileDialog* dialog : started.window().findChildren<QFileDialog*>()) {
            if (!dialog->isVisible()) continue;
            dialogSeen = dialog->directory().absolutePath() == QString::fromStdString(started.folder().string());
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            name->setText("picked.tbl");
            QTest::keyClick(name, Qt::Key_Return);
        }
    });
    QTimer guard;  // a dialog that did not take the answer must not hang the test
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &started.window(), [&] {
        for (QFileDialog* dialog : started.window().findChildren<QFileDialog*>()) static_cast<QDialog*>(dialog)->done(QDialog::Rejected);
    });
    guard.start(5000);
    Trigger(started, "OpenO1");
    QVERIFY(dialogSeen);
    QCOMPARE(started->Image(), sample);
}

QTEST_MAIN(FileMenuTest)
#include "file_menu_test.moc"

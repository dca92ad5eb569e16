// File > Program a Fleet...: the menu item, and the dialog checking a roster, writing two units
// (changed pieces only) into the simulated fleet, verifying and reading the fleet back, with its
// steps answered as a technician answers them; and the dialog on a small screen.
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QScreen>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRegularExpression>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <fstream>
#include <thread>

#include "fleet_dialog.h"
#include "pager_simulator.h"
#include "roster.h"
#include "table_files.h"
#include "window_harness.h"

using zr::test::MessageRecorder;
using zr::test::StartedWindow;

namespace {

struct FleetFiles {
    QTemporaryDir dir;
    std::filesystem::path Path(const char* name) const { return std::filesystem::path(dir.path().toStdString()) / name; }

    explicit FleetFiles(const char* roster) {
        QVERIFY(!zr::SaveTableFileAs(Path("base.tbl"), zr::StartupImage()));
        std::ofstream(Path("fleet.csv")) << roster;
    }
    void FillIn(zr::gui::FleetDialog& dialog) const {
        dialog.findChild<QLineEdit*>("edtBase")->setText(QString::fromStdString(Path("base.tbl").string()));
        dialog.findChild<QLineEdit*>("edtRoster")->setText(QString::fromStdString(Path("fleet.csv").string()));
        dialog.findChild<QLineEdit*>("edtLog")->setText(QString::fromStdString(Path("log.csv").string()));
    }
};

template <class Control>
Control* Child(const QWidget& dialog, const char* name) {
    return dialog.findChild<Control*>(QLatin1String(name));
}

// The technician at the dialog: at each step asked, `onStep` gets the step's text and its number
// from 1, then Go On is clicked unless `onStep` answered otherwise, and the step line is read once
// the pager is talked to; a folder asked for is `folder`.
class Technician {
public:
    Technician(zr::gui::FleetDialog& dialog, std::function<void(const QString&, int)> onStep, QString folder = {})
        : onStep_(std::move(onStep)) {
        QObject::connect(&timer_, &QTimer::timeout, [this, &dialog, folder] {
            if (auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                chooser->setDirectory(folder);
                static_cast<QDialog*>(chooser)->accept();
                return;
            }
            auto* goOn = Child<QPushButton>(dialog, "btnGoOn");
            if (!goOn->isEnabled()) return;
            steps << Child<QLabel>(dialog, "lblStep")->text();
            onStep_(steps.back(), static_cast<int>(steps.size()));
            if (!goOn->isEnabled()) return;
            goOn->click();
            QTimer::singleShot(0, [this, &dialog] { during << Child<QLabel>(dialog, "lblStep")->text(); });
        });
        timer_.start(20);
    }
    QStringList steps;
    QStringList during;

private:
    std::function<void(const QString&, int)> onStep_;
    QTimer timer_;
};

// A simulated fleet of two pagers, each holding the built-in image, pager 1 behind the board.
zr::sim::SimulatorOptions TwoPagers() {
    zr::sim::SimulatorOptions options;
    options.pagers = 2;
    options.swapGap = std::chrono::milliseconds(50);
    return options;
}

// Takes the pager behind the board away and seats the next one, as the simulator's fleet turns.
void SeatNextPager(zr::sim::SimulatorThread& fleet) {
    const unsigned next = fleet.simulator().ConnectedPager() % fleet.simulator().Pagers().size() + 1;
    fleet.simulator().SwapPager();
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (fleet.simulator().ConnectedPager() != next && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

// Every control that opens a file dialog or changes what a run works on.
const char* const kRunLockedControls[] = {"edtBase", "edtRoster", "edtLog", "edtOut", "btnBrowseBase",
                                          "btnBrowseRoster", "btnBrowseLog", "btnBrowseOut", "btnCheck",
                                          "btnWriteAll", "btnVerifyAll", "btnReadAll", "btnExportSheet"};

QStringList EnabledOf(const QWidget& dialog) {
    QStringList enabled;
    for (const char* name : kRunLockedControls)
        if (Child<QWidget>(dialog, name)->isEnabled()) enabled << name;
    return enabled;
}

}  // namespace

class FleetDialogTest : public QObject {
    Q_OBJECT

private slots:
    void menuItemStandsJustAboveExit();
    void writesTwoUnitsIntoTheSimulatedFleet();
    void tonePlanProblemsAreMarkedAndAskedAbout();
    void tonePlanChartMarksOverlappingBands();
    void verifyAllFindsThePagerThatStrayedFromThePlan();
    void readAllKeepsEveryPagerAndItsRoster();
    void fitsAnEightHundredBySixHundredScreen();
};

void FleetDialogTest::menuItemStandsJustAboveExit() {
    MessageRecorder recorder;  // no port: the start-up check says there is no board
    StartedWindow started;
    auto* fleet = started.Find<QAction>("ProgramFleet1");
    QVERIFY(fleet);
    QCOMPARE(fleet->text(), QString("Program a &Fleet..."));
    QVERIFY(fleet->shortcut().isEmpty());
    const auto actions = started.Find<QMenu>("FileF1")->actions();
    QCOMPARE(actions.indexOf(fleet) + 1, actions.indexOf(started.Find<QAction>("ExitE1")));
}

void FleetDialogTest::writesTwoUnitsIntoTheSimulatedFleet() {
    zr::sim::SimulatorThread fleet(TwoPagers());
    FleetFiles files("unit,call1.tone1,call1.tone2\nP-01,349.0,600.9\nP-02,368.5,600.9\n");
    zr::TCommPort port;
    zr::gui::FleetDialog dialog(port, fleet.PortPath(), files.Path(""));
    files.FillIn(dialog);
    dialog.findChild<QLineEdit*>("edtOut")->setText(QString::fromStdString(files.Path("sent").string()));
    // Each pager holds the built-in image: a unit differs from it in its call's tones, their codes
    // and the checksum, three pieces.
    Child<QCheckBox>(dialog, "chkChangedOnly")->setChecked(true);
    dialog.show();

    QTest::mouseClick(Child<QPushButton>(dialog, "btnCheck"), Qt::LeftButton);
    auto* units = Child<QTableWidget>(dialog, "grdUnits");
    QCOMPARE(units->rowCount(), 2);
    QCOMPARE(units->item(1, 0)->text(), QString("P-02"));
    QCOMPARE(units->item(1, 1)->text(), QString("368.5/600.9"));
    QCOMPARE(units->item(1, 2)->text(), QString("off"));
    QCOMPARE(units->item(1, 7)->text(), QString("ok"));

    // The technician: at each "connect" step, puts the unit's pager behind the board and goes on.
    Technician technician(dialog, [&](const QString&, int step) {
        if (step == 2) SeatNextPager(fleet);
    });
    QTest::mouseClick(Child<QPushButton>(dialog, "btnWriteAll"), Qt::LeftButton);

    auto* step = Child<QLabel>(dialog, "lblStep");
    QCOMPARE(technician.steps, QStringList({"Connect the pager of unit P-01 (1 of 2), then click Go On.",
                                 "Connect the pager of unit P-02 (2 of 2), then click Go On."}));
    QCOMPARE(step->text(), QString("2 written, 0 already written, 0 failed, 0 skipped"));
    QCOMPARE(units->item(0, 8)->text(), QString("written"));
    QCOMPARE(units->item(1, 8)->text(), QString("written"));
    QCOMPARE(Child<QProgressBar>(dialog, "pbFleet")->value(), 2);
    const QStringList logged = Child<QPlainTextEdit>(dialog, "memLog")->toPlainText().split('\n');
    QCOMPARE(logged.size(), 2);
    QVERIFY(logged[1].contains(",P-02," + QString::fromStdString(fleet.PortPath()) + ",5.10,written,Write Sucess !,"));
    // Three pieces sent, then the identity of the image: 64 hexadecimal digits.
    const QRegularExpression piecesAndImage(",3,[0-9a-f]{64}$");
    QVERIFY(logged[0].contains(piecesAndImage));
    QVERIFY(logged[1].contains(piecesAndImage));
    const auto pagers = fleet.simulator().Pagers();
    QCOMPARE(zr::GetWord16(pagers[0], 192), 3490);
    QCOMPARE(zr::GetWord16(pagers[1], 192), 3685);
    zr::PagerImage kept{};
    QVERIFY(zr::ReadTableBytes(files.Path("sent") / "P-02.tbl", kept));
    QCOMPARE(kept, pagers[1]);
}

void FleetDialogTest::tonePlanProblemsAreMarkedAndAskedAbout() {
    MessageRecorder recorder;
    recorder.answers.push_back(zr::MessageAnswer::No);
    FleetFiles files("unit,call1.tone1,call1.tone2\nP-01,349.0,600.9\nP-02,349.0,600.9\nP-03,389.0,600.9\n");
    zr::TCommPort port;
    zr::gui::FleetDialog dialog(port, "/nonexistent/port", files.Path(""));
    files.FillIn(dialog);
    dialog.show();
    QTest::mouseClick(Child<QPushButton>(dialog, "btnWriteAll"), Qt::LeftButton);

    QCOMPARE(recorder.Texts(),
             std::vector<std::string>{"The fleet's tone plan has problems (marked in the table).\nWrite all the same?"});
    auto* units = Child<QTableWidget>(dialog, "grdUnits");
    QVERIFY(units->item(1, 7)->text().contains("P-01 call1 and P-02 call1 are the same individual call"));
    QVERIFY(units->item(0, 0)->background() != units->item(2, 0)->background());
    QCOMPARE(units->item(1, 0)->background(), units->item(0, 0)->background());
    QVERIFY(!std::filesystem::exists(files.Path("log.csv")));
}

// The chart of the checked roster paints the bands of a near-equal pair in the overlap colour,
// and those of a clean roster in none; Export Sheet waits for a checked roster.
void FleetDialogTest::tonePlanChartMarksOverlappingBands() {
    const auto redPixels = [](const char* roster) {
        FleetFiles files(roster);
        zr::TCommPort port;
        zr::gui::FleetDialog dialog(port, "/nonexistent/port", files.Path(""));
        files.FillIn(dialog);
        Child<QCheckBox>(dialog, "chkUserMode")->setChecked(true);  // 602.0 Hz is no standard tone
        dialog.resize(900, 800);
        dialog.show();
        auto* exportSheet = Child<QPushButton>(dialog, "btnExportSheet");
        if (exportSheet->isEnabled()) return -1;
        QTest::mouseClick(Child<QPushButton>(dialog, "btnCheck"), Qt::LeftButton);
        if (!exportSheet->isEnabled()) return -1;
        const QImage chart = Child<QWidget>(dialog, "TonePlanChart")->grab().toImage();
        int red = 0;
        for (int y = 0; y < chart.height(); ++y)
            for (int x = 0; x < chart.width(); ++x)
                if (chart.pixelColor(x, y) == QColor(200, 30, 30)) ++red;
        return red;
    };
    QVERIFY(redPixels("unit,call1.tone1,call1.tone2\nP-01,349.0,600.9\nP-02,389.0,1500.0\n") == 0);
    QVERIFY(redPixels("unit,call1.tone1,call1.tone2\nP-01,349.0,600.9\nP-02,349.0,602.0\n") > 0);
}

// The fleet is written with P-02's call 1 on 569.1 Hz (P-01's first Write refused, then tried
// again); the plan says 600.9 Hz. Verify All tells P-01 as planned and P-02 by its one differing
// field, in the table, the log pane and the verify log, with the files and every control that opens
// a file dialog greyed while pagers are read, and the step line saying which pager is handled.
void FleetDialogTest::verifyAllFindsThePagerThatStrayedFromThePlan() {
    zr::sim::SimulatorOptions options = TwoPagers();
    options.negativeAcknowledgeAt = 1;
    zr::sim::SimulatorThread fleet(options);
    FleetFiles files("unit,call1.tone1,call1.tone2\nP-01,349.0,600.9\nP-02,368.5,569.1\n");
    zr::TCommPort port;
    zr::gui::FleetDialog dialog(port, fleet.PortPath(), files.Path(""));
    files.FillIn(dialog);
    dialog.show();
    {
        Technician technician(dialog, [&](const QString&, int step) {
            if (step == 3) SeatNextPager(fleet);
        });
        QTest::mouseClick(Child<QPushButton>(dialog, "btnWriteAll"), Qt::LeftButton);
        QVERIFY(technician.steps[1].startsWith("Unit P-01 failed: "));
        QCOMPARE(technician.during, QStringList({"Writing unit P-01 (1 of 2) ...", "Writing unit P-01 (1 of 2) ...",
                                                 "Writing unit P-02 (2 of 2) ..."}));
    }
    auto* step = Child<QLabel>(dialog, "lblStep");
    QCOMPARE(step->text(), QString("2 written, 0 already written, 0 failed, 0 skipped"));

    std::ofstream(files.Path("fleet.csv")) << "unit,call1.tone1,call1.tone2\nP-01,349.0,600.9\nP-02,368.5,600.9\n";
    QStringList lockedDuringRun;
    {
        Technician technician(dialog, [&](const QString&, int) {
            lockedDuringRun = EnabledOf(dialog);
            SeatNextPager(fleet);
        });
        QTest::mouseClick(Child<QPushButton>(dialog, "btnVerifyAll"), Qt::LeftButton);
        QCOMPARE(technician.steps, QStringList({"Seat pager 1 behind the board, then click Go On.",
                                                "Seat pager 2 behind the board, then click Go On."}));
        QCOMPARE(technician.during, QStringList({"Reading pager 1 ...", "Reading pager 2 ..."}));
    }
    QCOMPARE(lockedDuringRun, QStringList());
    QCOMPARE(EnabledOf(dialog).size(), std::size(kRunLockedControls));
    QCOMPARE(step->text(), QString("2 pagers read, 1 as planned"));
    auto* units = Child<QTableWidget>(dialog, "grdUnits");
    QCOMPARE(units->item(0, 8)->text(), QString("as planned"));
    QCOMPARE(units->item(1, 8)->text(), QString("differs: call1.tone2"));
    QCOMPARE(units->item(1, 8)->toolTip(), QString("call1.tone2: planned 600.9, pager 569.1"));
    QVERIFY(Child<QPlainTextEdit>(dialog, "memLog")
                ->toPlainText()
                .endsWith("P-01: as planned\nP-02 (nearest): call1.tone2: planned 600.9, pager 569.1"));
    const auto log = std::get<std::string>(zr::ReadTextFile(files.Path("log-verify.csv")));
    QVERIFY(log.starts_with("time,port,unit,outcome,differences,image\r\n"));
    // The last cell: the identity of what the strayed pager holds.
    QVERIFY(QRegularExpression(QRegularExpression::escape(QString::fromStdString("," + fleet.PortPath())) +
                               ",P-02,differs,call1.tone2,[0-9a-f]{64}\r\n$")
                .match(QString::fromStdString(log))
                .hasMatch());

    // Checking again shows the roster afresh: no summary of the run before.
    QTest::mouseClick(Child<QPushButton>(dialog, "btnCheck"), Qt::LeftButton);
    QCOMPARE(step->text(), QString());
    QCOMPARE(units->item(1, 8)->text(), QString());
}

// Read All without a roster: each pager as pager-NNN.tbl in the folder chosen, and a roster of them
// beside, under a name no file has yet; the round goes on until the technician stops it.
void FleetDialogTest::readAllKeepsEveryPagerAndItsRoster() {
    zr::sim::SimulatorThread fleet(TwoPagers());
    FleetFiles files("unit\n");
    const auto folder = files.Path("kept");
    std::filesystem::create_directory(folder);
    std::ofstream(folder / "roster.csv") << "mine";
    zr::TCommPort port;
    zr::gui::FleetDialog dialog(port, fleet.PortPath(), files.Path(""));
    dialog.show();
    Technician technician(
        dialog,
        [&](const QString&, int step) {
            if (step == 2) SeatNextPager(fleet);
            if (step == 3) Child<QPushButton>(dialog, "btnStop")->click();
        },
        QString::fromStdString(folder.string()));
    QTest::mouseClick(Child<QPushButton>(dialog, "btnReadAll"), Qt::LeftButton);

    QCOMPARE(technician.steps.size(), 3);
    QCOMPARE(Child<QLabel>(dialog, "lblStep")->text(),
             QString::fromStdString("2 pagers kept in " + folder.string() + "; their roster: " +
                                    (folder / "roster-2.csv").string()));
    QCOMPARE(Child<QPlainTextEdit>(dialog, "memLog")->toPlainText(), QString::fromStdString("Read All into " + folder.string() + "\npager-001.tbl: read\npager-002.tbl: read"));
    const auto pagers = fleet.simulator().Pagers();
    for (int pager = 0; pager < 2; ++pager) {
        zr::PagerImage kept{};
        QVERIFY(zr::ReadTableBytes(folder / ("pager-00" + std::to_string(pager + 1) + ".tbl"), kept));
        QCOMPARE(zr::GetWord16(kept, zr::kChecksumOffset), zr::GetWord16(pagers[pager], zr::kChecksumOffset));
    }
    QCOMPARE(std::get<std::string>(zr::ReadTextFile(folder / "roster.csv")), std::string("mine"));
    const auto roster = std::get<std::string>(zr::ReadTextFile(folder / "roster-2.csv"));
    QCOMPARE(std::count(roster.begin(), roster.end(), '\n'), 3);
}

// On an 800 x 600 screen the whole dialog fits, its buttons whole and in sight, and the Outcome
// column stays in sight beside a long Check text, which its tooltip holds whole; the fleet bar
// counts units once there are some.
void FleetDialogTest::fitsAnEightHundredBySixHundredScreen() {
    FleetFiles files("unit,call1.tone1,call1.tone2\nP-01,349.0,600.9\nP-02,349.0,600.9\n");
    zr::TCommPort port;
    zr::gui::FleetDialog dialog(port, "/nonexistent/port", files.Path(""));
    files.FillIn(dialog);
    const QSize screen(800, 600), frame(16, 40);  // a window manager's borders and title bar
    // Offscreen, the screen is 800 x 600 itself: the dialog opens no larger.
    const QSize available = dialog.screen()->availableSize();
    QVERIFY(dialog.size().boundedTo(available) == dialog.size());
    QVERIFY2((dialog.minimumSizeHint() + frame).boundedTo(screen) == dialog.minimumSizeHint() + frame,
             qPrintable(QString("minimum %1 x %2").arg(dialog.minimumSizeHint().width()).arg(dialog.minimumSizeHint().height())));
    dialog.resize(dialog.minimumSizeHint());
    dialog.show();
    // No count of units before a roster is loaded.
    auto* fleetBar = Child<QProgressBar>(dialog, "pbFleet");
    QVERIFY(!fleetBar->isTextVisible());
    QTest::mouseClick(Child<QPushButton>(dialog, "btnCheck"), Qt::LeftButton);
    QVERIFY(fleetBar->isTextVisible());
    QCOMPARE(fleetBar->text(), QString("0 of 2 units"));
    for (const char* name : {"btnBrowseBase", "btnBrowseOut", "btnCheck", "btnGoOn", "btnSkip", "btnStop",
                             "btnExportSheet", "btnVerifyAll", "btnReadAll", "btnWriteAll", "btnClose"}) {
        auto* button = Child<QPushButton>(dialog, name);
        const QRect shown(button->mapTo(&dialog, QPoint(0, 0)), button->size());
        QVERIFY2(button->isVisible() && dialog.rect().contains(shown), name);
        QVERIFY2(button->width() >= button->minimumSizeHint().width(), name);
    }
    auto* units = Child<QTableWidget>(dialog, "grdUnits");
    QVERIFY(units->columnViewportPosition(8) + units->columnWidth(8) <= units->viewport()->width());
    QVERIFY(units->item(1, 7)->toolTip().contains("P-01 call1 and P-02 call1 are the same individual call"));
}

QTEST_MAIN(FleetDialogTest)
#include "fleet_dialog_test.moc"

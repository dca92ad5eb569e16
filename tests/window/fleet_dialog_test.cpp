// File > Program a Fleet...: the menu item, and the dialog checking a roster and writing two units
// (changed pieces only) into the simulated fleet, with its steps answered as a technician answers them.
#include <QAction>
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

}  // namespace

class FleetDialogTest : public QObject {
    Q_OBJECT

private slots:
    void menuItemStandsJustAboveExit();
    void writesTwoUnitsIntoTheSimulatedFleet();
    void tonePlanProblemsAreMarkedAndAskedAbout();
    void tonePlanChartMarksOverlappingBands();
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
    zr::sim::SimulatorOptions options;
    options.pagers = 2;
    options.swapGap = std::chrono::milliseconds(50);
    zr::sim::SimulatorThread fleet(options);
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
    QStringList steps;
    QTimer technician;
    auto* step = Child<QLabel>(dialog, "lblStep");
    auto* goOn = Child<QPushButton>(dialog, "btnGoOn");
    connect(&technician, &QTimer::timeout, [&] {
        if (!goOn->isEnabled()) return;
        steps << step->text();
        if (steps.size() == 2) {
            fleet.simulator().SwapPager();
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (fleet.simulator().ConnectedPager() != 2 && std::chrono::steady_clock::now() < giveUp)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        goOn->click();
    });
    technician.start(20);
    QTest::mouseClick(Child<QPushButton>(dialog, "btnWriteAll"), Qt::LeftButton);
    technician.stop();

    QCOMPARE(steps, QStringList({"Connect the pager of unit P-01 (1 of 2), then click Go On.",
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

QTEST_MAIN(FleetDialogTest)
#include "fleet_dialog_test.moc"

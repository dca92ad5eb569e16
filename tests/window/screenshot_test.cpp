// The real program as a user starts it, on a virtual X display: with the simulated pager attached
// its main window appears, the board is found without a message, and a screenshot shows the window;
// without a board the message box comes up captioned exactly "ZR250Pro", nothing appended.
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class ScreenshotTest : public QObject {
    Q_OBJECT

private slots:
    void windowAppearsWithTheSimulatedBoard();
    void messageBoxCarriesItsCaptionExactly();
};

namespace {

bool HasDisplayTools() {
    for (const char* tool : {"xvfb-run", "Xvfb", "import", "xauth", "xwininfo"})
        if (QStandardPaths::findExecutable(tool).isEmpty()) return false;
    return true;
}

}  // namespace

void ScreenshotTest::windowAppearsWithTheSimulatedBoard() {
#ifndef ZR250PRO_SIM
    QSKIP("the simulator is not built");
#else
    if (!HasDisplayTools()) QSKIP("the virtual display's tools are not installed");
    QTemporaryDir work;
    const QString screenshot = QDir::current().absoluteFilePath("zr250pro-window.png");
    QFile::remove(screenshot);
    QProcess display;
    display.setProcessChannelMode(QProcess::ForwardedChannels);
    display.start("xvfb-run", {"-a", "-s", "-screen 0 1280x900x24", "sh", ZR250PRO_TEST_SUPPORT "/show_window_on_display.sh",
                               ZR250PRO_WINDOW, ZR250PRO_SIM, screenshot, work.path()});
    QVERIFY(display.waitForFinished(120000));
    QCOMPARE(display.exitCode(), 0);

    const QImage image(screenshot);
    QCOMPARE(image.size(), QSize(1280, 900));
    // The window fills its 814 x 700 design size at the top left; the rest of the screen stays black.
    int drawn = 0, black = 0;
    for (int y = 0; y < 700; y += 10)
        for (int x = 0; x < 814; x += 10)
            if (image.pixelColor(x, y) != Qt::black) ++drawn;
    for (int y = 0; y < 900; y += 10)
        for (int x = 900; x < 1280; x += 10)
            if (image.pixelColor(x, y) == Qt::black) ++black;
    QVERIFY2(drawn > 70 * 82 * 95 / 100, qPrintable(QString("only %1 drawn points").arg(drawn)));
    QCOMPARE(black, 90 * 38);
    qInfo("screenshot: %s", qPrintable(screenshot));
#endif
}

void ScreenshotTest::messageBoxCarriesItsCaptionExactly() {
    if (!HasDisplayTools()) QSKIP("the virtual display's tools are not installed");
    QTemporaryDir work;
    QProcess display;
    display.setProcessChannelMode(QProcess::ForwardedChannels);
    display.start("xvfb-run", {"-a", "-s", "-screen 0 1280x900x24", "sh", ZR250PRO_TEST_SUPPORT "/no_board_box_on_display.sh",
                               ZR250PRO_WINDOW, work.path()});
    QVERIFY(display.waitForFinished(120000));
    QCOMPARE(display.exitCode(), 0);
}

QTEST_GUILESS_MAIN(ScreenshotTest)
#include "screenshot_test.moc"

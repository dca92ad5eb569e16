// The program around the window: one copy per user and display (a second copy brings the first
// forward, says so and ends without a window), and an error escaping a handler shown in a box while
// the program goes on.
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>
#include <stdexcept>

#include "application.h"
#include "single_instance.h"
#include "window_harness.h"

namespace {

// An object whose handler fails, as any handler of the window might.
class FailingHandler : public QObject {
public:
    int handled = 0;

protected:
    bool event(QEvent* event) override {
        if (event->type() != QEvent::User) return QObject::event(event);
        ++handled;
        throw std::runtime_error("Disk full");
    }
};

}  // namespace

class ShellTest : public QObject {
    Q_OBJECT

private slots:
    void secondCopyAsksTheFirstToComeForward();
    void secondProgramEndsWithoutAWindow();
    void oneCopyPerDisplay_data();
    void oneCopyPerDisplay();
    void bringingForwardRestoresAMinimisedWindow();
    void errorEscapingAHandlerIsShownAndTheProgramGoesOn();
};

void ShellTest::secondCopyAsksTheFirstToComeForward() {
    const QString name = QStringLiteral("zr250pro-test-%1").arg(QCoreApplication::applicationPid());
    zr::shell::SingleInstance first(name);
    QVERIFY(first.IsFirst());
    QSignalSpy forward(&first, &zr::shell::SingleInstance::activationRequested);
    {
        zr::shell::SingleInstance second(name);
        QVERIFY(!second.IsFirst());
    }
    QTRY_COMPARE(forward.size(), 1);
}

void ShellTest::secondProgramEndsWithoutAWindow() {
    // The lock and the socket live in the temporary folder: a folder of this test's own keeps a
    // copy of the program that a user runs on this machine out of it.
    QTemporaryDir temporary;
    const QByteArray previousTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", temporary.path().toUtf8());
    zr::shell::SingleInstance running(zr::shell::InstanceName());
    QVERIFY(running.IsFirst());
    QSignalSpy forward(&running, &zr::shell::SingleInstance::activationRequested);

    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("ZR250PRO_PORTS", "");
    second.setProcessEnvironment(environment);
    second.setWorkingDirectory(temporary.path());
    second.start(ZR250PRO_WINDOW, {});
    // Waiting on the process while this event loop runs lets the first copy take the request.
    QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 20000);
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    const QString said = QString::fromUtf8(second.readAllStandardError());
    QVERIFY2(said.endsWith("\nzr250pro: already running; brought to the front\n") ||
                 said == "zr250pro: already running; brought to the front\n",
             qPrintable(said));
    QTRY_COMPARE(forward.size(), 1);
    if (previousTemp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", previousTemp);
}

void ShellTest::oneCopyPerDisplay_data() {
    QTest::addColumn<QString>("platform");
    QTest::addColumn<QString>("x11");
    QTest::addColumn<QString>("wayland");
    QTest::addColumn<QString>("key");
    QTest::newRow("X display") << "xcb" << ":0" << "" << "xcb-:0";
    QTest::newRow("another X display") << "xcb" << ":1" << "" << "xcb-:1";
    QTest::newRow("a screen of that display") << "xcb" << ":1.1" << "" << "xcb-:1";
    QTest::newRow("remote X display") << "xcb" << "host.lan:10.0" << "" << "xcb-host.lan:10";
    QTest::newRow("Wayland beside X") << "wayland" << ":0" << "wayland-1" << "wayland-wayland-1";
    QTest::newRow("Wayland socket path") << "wayland" << "" << "/run/user/1000/wayland-0"
                                         << "wayland-_run_user_1000_wayland-0";
    QTest::newRow("no display") << "offscreen" << ":0" << "" << "offscreen";
}

void ShellTest::oneCopyPerDisplay() {
    QFETCH(QString, platform);
    QFETCH(QString, x11);
    QFETCH(QString, wayland);
    QFETCH(QString, key);
    QCOMPARE(zr::shell::DisplayKey(platform, x11, wayland), key);
    // Copies on two displays hold two locks: each is the first on its own display.
    const QString name = QStringLiteral("zr250pro-test-%1-").arg(QCoreApplication::applicationPid());
    zr::shell::SingleInstance here(name + zr::shell::DisplayKey("xcb", ":0", ""));
    zr::shell::SingleInstance there(name + zr::shell::DisplayKey("xcb", ":1", ""));
    QVERIFY(here.IsFirst());
    QVERIFY(there.IsFirst());
}

void ShellTest::bringingForwardRestoresAMinimisedWindow() {
    QWidget window;
    window.resize(200, 100);
    window.showMinimized();
    QTRY_VERIFY(window.isMinimized());
    zr::shell::BringToFront(&window);
    QVERIFY(!window.isMinimized());
    QVERIFY(window.isVisible());
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

void ShellTest::errorEscapingAHandlerIsShownAndTheProgramGoesOn() {
    zr::test::MessageRecorder messages;
    FailingHandler handler;
    QEvent sent(QEvent::User);
    QCoreApplication::sendEvent(&handler, &sent);
    QCoreApplication::postEvent(&handler, new QEvent(QEvent::User));
    QTRY_COMPARE(handler.handled, 2);
    const zr::Message expected{"ZR250Pro V1.0.7", "Disk full", zr::MessageIcon::Stop, zr::MessageButtons::Ok};
    QCOMPARE(messages.messages, (std::vector<zr::Message>{expected, expected}));
}

int main(int argc, char** argv) {
    zr::shell::Application application(argc, argv);
    ShellTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "shell_test.moc"

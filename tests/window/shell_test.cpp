// The program around the window: one copy per user (a second copy brings the first forward and
// ends without a window), and an error escaping a handler shown in a box while the program goes on.
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
    QTRY_COMPARE(forward.size(), 1);
    if (previousTemp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", previousTemp);
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

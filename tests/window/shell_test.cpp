// The program around the window: one copy per user and display (a second copy brings the first
// forward, says so and ends without a window), --help and --version, the one line when there is no
// display, and an error escaping a handler shown in a box while the program goes on.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>
#include <atomic>
#include <stdexcept>
#include <thread>

#include "application.h"
#include "command_line.h"
#include "single_instance.h"
#include "window_harness.h"

namespace {

struct Finished {
    int exitCode = -1;
    QString out;
    QString err;
};

// A program's output as text: a Windows console program ends its lines with CR LF.
QString Text(const QByteArray& output) { return QString::fromUtf8(output).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

// Runs the window program with these arguments; `environment` changes the test's own environment
// (an empty value removes the variable).
Finished RunProgram(const QStringList& arguments, const QMap<QString, QString>& environment) {
    QProcessEnvironment processEnvironment = QProcessEnvironment::systemEnvironment();
    for (auto variable = environment.cbegin(); variable != environment.cend(); ++variable) {
        if (variable.value().isEmpty())
            processEnvironment.remove(variable.key());
        else
            processEnvironment.insert(variable.key(), variable.value());
    }
    QProcess program;
    program.setProcessEnvironment(processEnvironment);
    program.start(ZR250PRO_WINDOW, arguments);
    if (!program.waitForFinished(20000)) program.kill();
    return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
            Text(program.readAllStandardOutput()), Text(program.readAllStandardError())};
}

const QMap<QString, QString> kNoDisplay{
    {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}};

// The copies the tests start show on the test's own platform (offscreen; Windows under Wine).
QString TestPlatform() { return QGuiApplication::platformName(); }

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
    void lockLivesInAFolderOfTheUsersOwn();
    void unknownArgumentsEndWithTheUsage_data();
    void unknownArgumentsEndWithTheUsage();
    void oneCopyPerDisplay_data();
    void oneCopyPerDisplay();
    void helpAndVersionPrintAndEnd_data();
    void helpAndVersionPrintAndEnd();
    void noDisplayIsSaidInOneLine_data();
    void noDisplayIsSaidInOneLine();
    void bringingForwardRestoresAMinimisedWindow();
    void errorEscapingAHandlerIsShownAndTheProgramGoesOn();
};

void ShellTest::secondCopyAsksTheFirstToComeForward() {
    const QString name = QStringLiteral("zr250pro-test-%1").arg(QCoreApplication::applicationPid());
    zr::shell::SingleInstance first(name);
    QVERIFY(first.IsFirst());
    QSignalSpy forward(&first, &zr::shell::SingleInstance::activationRequested);
    // The second copy asks from a thread of its own, as from another process: the first copy's
    // event loop runs meanwhile and takes the connection (a Windows pipe is taken no other way).
    std::atomic<bool> secondIsFirst = true;
    std::atomic<bool> secondBroughtItForward = false;
    std::thread second([&] {
        const zr::shell::SingleInstance copy(name);
        secondIsFirst = copy.IsFirst();
        secondBroughtItForward = copy.BroughtFirstForward();
    });
    QTRY_COMPARE(forward.size(), 1);
    second.join();
    QVERIFY(!secondIsFirst);
    QVERIFY(secondBroughtItForward);
}

namespace {

// Points XDG_RUNTIME_DIR and XDG_CACHE_HOME at folders of the test's own while it lives, so that
// a copy of the program a user runs on this machine stays out of the test.
class OwnUserFolders {
public:
    OwnUserFolders() : previousRuntime_(qgetenv("XDG_RUNTIME_DIR")), previousCache_(qgetenv("XDG_CACHE_HOME")) {
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
    }
    ~OwnUserFolders() {
        Restore("XDG_RUNTIME_DIR", previousRuntime_);
        Restore("XDG_CACHE_HOME", previousCache_);
    }
    OwnUserFolders(const OwnUserFolders&) = delete;
    OwnUserFolders& operator=(const OwnUserFolders&) = delete;

    QTemporaryDir runtime;
    QTemporaryDir cache;

private:
    static void Restore(const char* variable, const QByteArray& value) {
        if (value.isNull())
            qunsetenv(variable);
        else
            qputenv(variable, value);
    }
    QByteArray previousRuntime_;
    QByteArray previousCache_;
};

Finished RunSecondCopy(const QString& folder) {
    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", TestPlatform());
    environment.insert("ZR250PRO_PORTS", "");
    second.setProcessEnvironment(environment);
    second.setWorkingDirectory(folder);
    second.start(ZR250PRO_WINDOW, {});
    // Waiting on the process while this event loop runs lets the first copy take the request.
    [&] { QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 20000); }();
    return {second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1,
            Text(second.readAllStandardOutput()), Text(second.readAllStandardError())};
}

}  // namespace

void ShellTest::secondProgramEndsWithoutAWindow() {
    const OwnUserFolders folders;
    {
        zr::shell::SingleInstance running(zr::shell::InstanceName());
        QVERIFY(running.IsFirst());
        QSignalSpy forward(&running, &zr::shell::SingleInstance::activationRequested);
        const Finished second = RunSecondCopy(folders.cache.path());
        QCOMPARE(second.exitCode, 0);
        QVERIFY2(second.err.endsWith("zr250pro: already running; brought to the front\n"), qPrintable(second.err));
        QTRY_COMPARE(forward.size(), 1);
    }
    // A lock held by a copy that does not answer: no window opens, none comes forward, exit 1.
    QLockFile silent(QDir(zr::shell::InstanceFolder()).filePath(zr::shell::InstanceName() + ".lock"));
    QVERIFY(silent.tryLock(0));
    const Finished second = RunSecondCopy(folders.cache.path());
    QCOMPARE(second.exitCode, 1);
    QVERIFY2(second.err.endsWith("zr250pro: already running, but it did not answer\n"), qPrintable(second.err));
}

// The lock lives in the user's private runtime folder; a runtime folder others may write into
// (where another user may have made the lock first) is passed over for a 0700 folder of the
// user's own, and the program is the first copy there.
void ShellTest::lockLivesInAFolderOfTheUsersOwn() {
#ifdef _WIN32
    QSKIP("Windows keeps the lock in the user's own temporary folder; runtime folders and modes are POSIX's");
#endif
    const OwnUserFolders folders;
    const QString name = QStringLiteral("zr250pro-test-%1").arg(QCoreApplication::applicationPid());
    {
        zr::shell::SingleInstance first(name);
        QVERIFY(first.IsFirst());
        QVERIFY(QFileInfo::exists(folders.runtime.filePath(name + ".lock")));
        QVERIFY(!QFileInfo::exists(QDir::temp().filePath(name + ".lock")));
    }
    QFile::setPermissions(folders.runtime.path(), QFileDevice::Permissions(0x7777));  // rwx for all
    QFile squatted(folders.runtime.filePath(name + ".lock"));
    QVERIFY(squatted.open(QIODevice::WriteOnly));
    // A living process's lock, as another user could leave it there.
    squatted.write(QByteArray::number(QCoreApplication::applicationPid()) + "\nzr250pro\n\n");
    squatted.close();
    zr::shell::SingleInstance first(name);
    QVERIFY(first.IsFirst());
    const QFileInfo own(folders.cache.filePath("zr250pro"));
    QCOMPARE(zr::shell::InstanceFolder(), own.filePath());
    QCOMPARE(own.permissions() & QFileDevice::Permissions(0x0077), QFileDevice::Permissions());
    QVERIFY(QFileInfo::exists(own.filePath() + "/" + name + ".lock"));
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

void ShellTest::helpAndVersionPrintAndEnd_data() {
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("begins");
    QTest::newRow("--help") << "--help" << "Usage: zr250pro [-h | --help] [-v | --version]\n";
    QTest::newRow("-h") << "-h" << "Usage: zr250pro";
    QTest::newRow("--version") << "--version" << "zr250pro 1.0.7\n";
    QTest::newRow("-v") << "-v" << "zr250pro 1.0.7\n";
}

void ShellTest::helpAndVersionPrintAndEnd() {
    QFETCH(QString, argument);
    QFETCH(QString, begins);
    // No display is needed to print and end.
    const Finished run = RunProgram({argument}, kNoDisplay);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.startsWith(begins), qPrintable(run.out));
    QCOMPARE(run.err, QString());
}

void ShellTest::unknownArgumentsEndWithTheUsage_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("named");
    QTest::newRow("unknown option") << QStringList{"--bogus"} << "'--bogus'";
    QTest::newRow("a file name") << QStringList{"pager.tbl"} << "'pager.tbl'";
    QTest::newRow("after a window system option") << QStringList{"-style", "fusion", "x\ty"} << "'x\\ty'";
}

void ShellTest::unknownArgumentsEndWithTheUsage() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, named);
    const Finished run = RunProgram(arguments, {{"QT_QPA_PLATFORM", TestPlatform()}});
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.out, QString());
    // What the window system said while it started may come first.
    const QString said = "zr250pro: unknown argument " + named +
                         "\nUsage: zr250pro [-h | --help] [-v | --version]\nTry 'zr250pro --help' for more information.\n";
    QVERIFY2(run.err.endsWith(said), qPrintable(run.err));
}

void ShellTest::noDisplayIsSaidInOneLine_data() {
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("line");
    QTest::newRow("none named") << ""
                                << "zr250pro: there is no display to show the window on (neither DISPLAY nor "
                                   "WAYLAND_DISPLAY is set); run it in a desktop session, or on a virtual display "
                                   "with xvfb-run\n";
    QTest::newRow("unreachable") << ":9876" << "zr250pro: cannot show the window: ";
}

void ShellTest::noDisplayIsSaidInOneLine() {
#ifdef _WIN32
    QSKIP("Windows always has its desktop to show the window on");
#endif
    QFETCH(QString, display);
    QFETCH(QString, line);
    QMap<QString, QString> environment = kNoDisplay;
    environment["DISPLAY"] = display;
    const Finished run = RunProgram({}, environment);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.startsWith(line), qPrintable(run.err));
    QCOMPARE(run.err.count('\n'), 1);
    QCOMPARE(run.out, QString());
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

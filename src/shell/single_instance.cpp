#include "single_instance.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QGuiApplication>
#include <QLocalSocket>
#include <QThread>
#include <QWidget>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "message.h"

namespace zr::shell {

namespace {

constexpr char kActivateRequest[] = "activate\n";
constexpr int kConnectTries = 20;
constexpr int kConnectWaitMilliseconds = 500;
constexpr int kRetryPauseMilliseconds = 100;

// What tells two users of one machine apart.
QString UserKey() {
#ifdef _WIN32
    return qEnvironmentVariable("USERNAME");  // Windows has no user numbers
#else
    return QString::number(::getuid());
#endif
}

#ifndef _WIN32
// A folder only this user can enter: another user can neither make the lock first nor listen on
// the socket's name in it.
bool IsPrivateFolder(const QString& path) {
    if (path.isEmpty()) return false;
    const QFileInfo folder(path);
    const auto othersMay = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                           QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    return folder.isDir() && !folder.isSymLink() && folder.ownerId() == ::getuid() &&
           !(folder.permissions() & othersMay);
}
#endif

}  // namespace

QString InstanceFolder() {
#ifdef _WIN32
    return QDir::tempPath();  // per user on Windows
#else
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (IsPrivateFolder(runtime)) return runtime;
    const QString own = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                        QStringLiteral("/zr250pro");
    QDir().mkpath(own);
    QFile::setPermissions(own, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return own;
#endif
}

QString DisplayKey(const QString& platform, const QString& x11Display, const QString& waylandDisplay) {
    QString display;
    if (platform == QLatin1String("xcb")) {
        display = x11Display;
        // The screen after the display number ("host:0.1") is the same display.
        const qsizetype colon = display.lastIndexOf(QLatin1Char(':'));
        const qsizetype screen = display.indexOf(QLatin1Char('.'), colon + 1);
        if (colon >= 0 && screen > colon) display.truncate(screen);
    } else if (platform == QLatin1String("wayland")) {
        display = waylandDisplay.isEmpty() ? QStringLiteral("wayland-0") : waylandDisplay;
    }
    display.replace(QLatin1Char('/'), QLatin1Char('_'));  // a socket given as a path
    return display.isEmpty() ? platform : platform + QLatin1Char('-') + display;
}

QString InstanceName() {
    return QString::fromUtf8(kApplicationTitle.data(), kApplicationTitle.size()) + QLatin1Char('-') + UserKey() +
           QLatin1Char('-') +
           DisplayKey(QGuiApplication::platformName(), qEnvironmentVariable("DISPLAY"),
                      qEnvironmentVariable("WAYLAND_DISPLAY"));
}

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent), lock_(std::make_unique<QLockFile>(QDir(InstanceFolder()).filePath(name + QStringLiteral(".lock")))) {
    // A lock left by a copy that died is taken over (its process no longer runs); a living copy's
    // lock never goes stale by age.
    lock_->setStaleLockTime(0);
    first_ = lock_->tryLock(0);
#ifdef _WIN32
    const QString socket = name;  // a named pipe: pipes have a namespace of their own, not a folder
#else
    const QString socket = QDir(InstanceFolder()).filePath(name);
#endif
    if (first_)
        Listen(socket);
    else
        broughtForward_ = AskFirstToComeForward(socket);
}

SingleInstance::~SingleInstance() {
    server_.close();
    if (first_) lock_->unlock();
}

void SingleInstance::Listen(const QString& name) {
    QLocalServer::removeServer(name);  // a socket file left by a copy that died
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.listen(name);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = server_.nextPendingConnection()) {
            // The second copy sends its request and ends at once: what it sent may be waiting
            // already, or come together with the end of the connection (Windows' pipes).
            const auto takeRequest = [this, client] {
                if (client->readAll().contains("activate")) emit activationRequested();
            };
            connect(client, &QLocalSocket::readyRead, this, takeRequest);
            connect(client, &QLocalSocket::disconnected, this, [client, takeRequest] {
                takeRequest();
                client->deleteLater();
            });
            takeRequest();
        }
    });
}

bool SingleInstance::AskFirstToComeForward(const QString& name) {
    // The first copy may still be starting and not listen yet: try for a few seconds.
    for (int attempt = 0; attempt < kConnectTries; ++attempt) {
        QLocalSocket socket;
        socket.connectToServer(name);
        if (socket.waitForConnected(kConnectWaitMilliseconds)) {
            socket.write(kActivateRequest);
            const bool sent = socket.waitForBytesWritten(kConnectWaitMilliseconds) || socket.bytesToWrite() == 0;
            socket.disconnectFromServer();
            return sent;
        }
        QThread::msleep(kRetryPauseMilliseconds);
    }
    return false;
}

void BringToFront(QWidget* window) {
    if (window->isMinimized())
        window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace zr::shell

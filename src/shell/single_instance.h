// One running copy of the window program per user and display. The first copy holds a lock named
// after the application title, the user and the display, and listens on a local socket of the same
// name, both in a folder of the user's own; a second copy on the same display finds the lock, asks
// the first to come to the front, and ends without showing a window. A copy started on another display (a second desktop session of
// the same user) is a first copy there.
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QWidget;

namespace zr::shell {

// Where the lock and the socket live: a place of this user's own, never the shared temporary
// folder where another user could take the name first. XDG_RUNTIME_DIR when it is set and private,
// otherwise a folder of the user's (made, mode 0700) in the user's cache folder.
QString InstanceFolder();
// The name of the lock and the socket: the application title, the user and the display the window
// shows on, so that two users, or two desktop sessions of one user, each have their own copy.
QString InstanceName();
// The display part of the name: the window system and its display (":0" and ":0.1" are one X
// display; a Wayland display is named by its socket). Without a display name, the window system.
QString DisplayKey(const QString& platform, const QString& x11Display, const QString& waylandDisplay);

class SingleInstance : public QObject {
    Q_OBJECT

public:
    // Takes the lock, or, when another copy holds it, asks that copy to come to the front.
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);
    ~SingleInstance() override;

    bool IsFirst() const { return first_; }
    // For a second copy: the first copy took the request to come to the front.
    bool BroughtFirstForward() const { return broughtForward_; }

signals:
    // A second copy was started: the window of this one should come to the front.
    void activationRequested();

private:
    void Listen(const QString& name);
    static bool AskFirstToComeForward(const QString& name);

    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
    bool first_ = false;
    bool broughtForward_ = false;
};

// Restores the window when it is minimised, raises it and makes it the active window.
void BringToFront(QWidget* window);

}  // namespace zr::shell

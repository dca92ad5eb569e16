// One running copy of the window program per user. The first copy holds a lock named after the
// application title and listens on a local socket of the same name; a second copy finds the lock,
// asks the first to come to the front, and ends without showing a window.
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QWidget;

namespace zr::shell {

// The name of the lock and the socket: the application title and the user, so that two users of
// one machine each have their own copy.
QString InstanceName();

class SingleInstance : public QObject {
    Q_OBJECT

public:
    // Takes the lock, or, when another copy holds it, asks that copy to come to the front.
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);
    ~SingleInstance() override;

    bool IsFirst() const { return first_; }

signals:
    // A second copy was started: the window of this one should come to the front.
    void activationRequested();

private:
    void Listen(const QString& name);
    static void AskFirstToComeForward(const QString& name);

    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
    bool first_ = false;
};

// Restores the window when it is minimised, raises it and makes it the active window.
void BringToFront(QWidget* window);

}  // namespace zr::shell

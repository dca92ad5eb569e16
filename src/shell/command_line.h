// What the window program answers before it opens a window: --help and --version print and end,
// and a machine without a display gets one line saying so instead of the window system's abort.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string>

namespace zr::shell {

// The text for --help (-h) or --version (-v) when one is asked for; nothing otherwise. Other
// arguments are the window system's own options (-platform, -display, -style ...) and pass on.
std::optional<std::string> InformationRequested(int argc, char** argv);

// What is left once the window system has taken its own options is no argument of this program
// (it takes no file: table files are opened from its File menu): the message and the usage for
// standard error, exit status 2. Nothing when nothing is left.
std::optional<std::string> UnknownArgumentsText(int argc, char** argv);

// The one line that says why the window cannot be shown, from what the window system reported while
// it failed to start: no display named at all, or the display it could not reach.
std::string NoWindowText(const QString& x11Display, const QString& waylandDisplay, const QStringList& reports);

// While it lives, a window system that cannot start ends the program with NoWindowText on standard
// error and exit status 1. What the window system reports meanwhile is held back and passed on once
// it has started.
class WindowSystemStartGuard {
public:
    WindowSystemStartGuard();
    ~WindowSystemStartGuard();
    WindowSystemStartGuard(const WindowSystemStartGuard&) = delete;
    WindowSystemStartGuard& operator=(const WindowSystemStartGuard&) = delete;
};

}  // namespace zr::shell

#include "command_line.h"

#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>
#include <vector>

#include "message.h"
#include "printable_text.h"

namespace zr::shell {

namespace {

constexpr char kProgram[] = "zr250pro";

constexpr char kUsageLine[] = "Usage: zr250pro [-h | --help] [-v | --version]\n";

constexpr char kHelpText[] = R"(Usage: zr250pro [-h | --help] [-v | --version]

The programming window of the ZR250Pro pager: reads a pager's configuration through the
programming interface board on a serial port, edits it field by field with the pager's rules,
writes it back and verifies it, and keeps configurations as table files (*.tbl).

Table files are opened from and saved to the folder the program is started in; default.tbl
there is loaded at start when it is made for this model. One copy runs per user and display:
starting it again brings the running window to the front.

Options:
  -h, --help     show this help and exit
  -v, --version  show the version and exit
  The window system's own options (-platform, -display, -style ...) are taken too. The program
  takes no file name: File > Open opens a table file.

Environment:
  ZR250PRO_PORTS  the ports to offer instead of the machine's serial ports, separated by ':'
                  (for example ttyUSB0, or the link of zr250pro-sim); set but empty, none
  ZR250PRO_TRACE  a file that receives every event on the serial line, to send with a report

The window needs a display; xvfb-run runs it on a virtual one. zr250pro-cli does the same
work from a terminal.
)";

struct HeldReport {
    QtMsgType type;
    const char* file;
    int line;
    const char* function;
    const char* category;
    QString text;
};

QtMessageHandler previousHandler = nullptr;
std::vector<HeldReport>& HeldReports() {
    static std::vector<HeldReport> reports;
    return reports;
}

void HoldReport(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        HeldReports().push_back({type, context.file, context.line, context.function, context.category, text});
        return;
    }
    QStringList reports;
    for (const HeldReport& report : HeldReports()) reports.append(report.text);
    reports.append(text);
    const std::string line =
        NoWindowText(qEnvironmentVariable("DISPLAY"), qEnvironmentVariable("WAYLAND_DISPLAY"), reports);
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
    std::_Exit(EXIT_FAILURE);
}

}  // namespace

std::optional<std::string> InformationRequested(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-h" || argument == "--help") return kHelpText;
        if (argument == "-v" || argument == "--version")
            return std::string(kProgram) + " " + ZR250PRO_VERSION + "\n";
    }
    return std::nullopt;
}

std::optional<std::string> UnknownArgumentsText(int argc, char** argv) {
    if (argc <= 1) return std::nullopt;
    return std::string(kProgram) + ": unknown argument '" + EscapeControlBytes(argv[1]) + "'\n" + kUsageLine +
           "Try 'zr250pro --help' for more information.\n";
}

std::string NoWindowText(const QString& x11Display, const QString& waylandDisplay, const QStringList& reports) {
    const std::string prefix = std::string(kProgram) + ": ";
    if (x11Display.isEmpty() && waylandDisplay.isEmpty())
        return prefix + "there is no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                        "run it in a desktop session, or on a virtual display with xvfb-run";
    // The window system's first report names what failed ("could not connect to display :5").
    QString reason = reports.isEmpty() ? QStringLiteral("the window system did not start") : reports.constFirst();
    reason = reason.section(QLatin1Char('\n'), 0, 0).trimmed();
    return prefix + "cannot show the window: " + reason.toStdString();
}

WindowSystemStartGuard::WindowSystemStartGuard() {
    HeldReports().clear();
    previousHandler = qInstallMessageHandler(HoldReport);
}

WindowSystemStartGuard::~WindowSystemStartGuard() {
    qInstallMessageHandler(previousHandler);
    for (const HeldReport& report : std::exchange(HeldReports(), {})) {
        const QMessageLogContext context(report.file, report.line, report.function, report.category);
        qt_message_output(report.type, context, report.text);
    }
}

}  // namespace zr::shell

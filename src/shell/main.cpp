// zr250pro: the programming window of the ZR250Pro pager.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "application.h"
#include "comm_port.h"
#include "link_trace.h"
#include "single_instance.h"
#include "unit1.h"

#include <cstring>
#include <iostream>

namespace {

// --help and --version are answered at once, without a display, as terminal users expect.
bool AnswerInformationRequest(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::cout << "zr250pro " << ZR250PRO_VERSION << "\n";
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::cout << "Usage: zr250pro [--help] [--version]\n\n"
                         "The programming window of the ZR250Pro pager: reads a pager's configuration through the\n"
                         "programming interface board on a serial port, edits it field by field with the pager's\n"
                         "rules, writes it back, verifies it, and keeps configurations as table files (*.tbl).\n"
                         "default.tbl in the folder it is started in is loaded at start. Only one copy runs per\n"
                         "user: starting it again brings the running window to the front.\n\n"
                         "Options:\n"
                         "  --help     print this help and exit\n"
                         "  --version  print the version and exit\n\n"
                         "Environment:\n"
                         "  ZR250PRO_PORTS  colon-separated port names or paths that replace the list of serial ports\n";
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (AnswerInformationRequest(argc, argv)) return 0;
    zr::shell::Application application(argc, argv);

    zr::shell::SingleInstance instance(zr::shell::InstanceName());
    if (!instance.IsFirst()) return 0;  // the running copy comes to the front instead

    // The program's one serial port, made before any window; traced when the variable names a file.
    const char* traceFile = std::getenv(zr::kTraceVariable);
    std::unique_ptr<zr::CommPort> port = zr::MakeProgramPort(traceFile ? traceFile : "");
    if (!port) {
        std::fprintf(stderr, "zr250pro: cannot write the trace to %s: %s\n", traceFile, std::strerror(errno));
        port = zr::MakeProgramPort();
    }
    TForm1 window(*port);
    QObject::connect(&instance, &zr::shell::SingleInstance::activationRequested, &window,
                     [&window] { zr::shell::BringToFront(&window); });
    window.show();
    return application.exec();
}

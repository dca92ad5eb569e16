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

int main(int argc, char** argv) {
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

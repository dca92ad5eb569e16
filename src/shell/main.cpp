// zr250pro: the programming window of the ZR250Pro pager.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "application.h"
#include "command_line.h"
#include "comm_port.h"
#include "link_trace.h"
#include "single_instance.h"
#include "main_window.h"

int main(int argc, char** argv) {
    if (const auto information = zr::shell::InformationRequested(argc, argv)) {
        std::fputs(information->c_str(), stdout);
        return 0;
    }
    std::unique_ptr<zr::shell::Application> application;
    {
        const zr::shell::WindowSystemStartGuard guard;
        application = std::make_unique<zr::shell::Application>(argc, argv);
    }
    if (const auto unknown = zr::shell::UnknownArgumentsText(argc, argv)) {
        std::fputs(unknown->c_str(), stderr);
        return 2;
    }

    zr::shell::SingleInstance instance(zr::shell::InstanceName());
    if (!instance.IsFirst()) {
        // The running copy comes to the front instead; whoever started this one hears why nothing opened.
        std::fputs(instance.BroughtFirstForward() ? "zr250pro: already running; brought to the front\n"
                                                  : "zr250pro: already running, but it did not answer\n",
                   stderr);
        return instance.BroughtFirstForward() ? 0 : 1;
    }

    // The program's one serial port, made before any window; traced when the variable names a file.
    const char* traceFile = std::getenv(zr::kTraceVariable);
    std::unique_ptr<zr::CommPort> port = zr::MakeProgramPort(traceFile ? traceFile : "");
    if (!port) {
        std::fprintf(stderr, "zr250pro: cannot write the trace to %s: %s\n", traceFile,
                     zr::TraceFileFailure(traceFile).c_str());
        port = zr::MakeProgramPort();
    }
    MainWindow window(*port);
    QObject::connect(&instance, &zr::shell::SingleInstance::activationRequested, &window,
                     [&window] { zr::shell::BringToFront(&window); });
    window.show();
    return application->exec();
}

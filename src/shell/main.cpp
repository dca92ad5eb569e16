// zr250pro: the programming window of the ZR250Pro pager.
#include "application.h"
#include "comm_port.h"
#include "single_instance.h"
#include "unit1.h"

int main(int argc, char** argv) {
    zr::shell::Application application(argc, argv);

    zr::shell::SingleInstance instance(zr::shell::InstanceName());
    if (!instance.IsFirst()) return 0;  // the running copy comes to the front instead

    zr::TCommPort port;  // the program's one serial port, made before any window
    TForm1 window(port);
    QObject::connect(&instance, &zr::shell::SingleInstance::activationRequested, &window,
                     [&window] { zr::shell::BringToFront(&window); });
    window.show();
    return application.exec();
}

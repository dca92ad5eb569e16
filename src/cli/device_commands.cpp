#include "cli_common.h"

namespace zr::cli {

void AddDeviceCommands(CLI::App&, int&) {}

}  // namespace zr::cli

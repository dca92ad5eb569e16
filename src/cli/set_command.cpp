#include "cli_common.h"

namespace zr::cli {

void AddSetCommand(CLI::App&, int&) {}

}  // namespace zr::cli

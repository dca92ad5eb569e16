// A fleet taken in from the terminal, shared by the roster commands and the test pages.
#pragma once

#include <string>
#include <variant>

#include "fleet_check.h"

namespace zr::cli {

// The fleet as the roster describes it, the base's load messages printed; or the exit status when
// it cannot be built at all, with the reason printed.
std::variant<CheckedFleet, int> LoadFleet(const std::string& base, const std::string& roster, ToneEntryMode mode);

}  // namespace zr::cli

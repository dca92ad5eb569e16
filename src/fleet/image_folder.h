// The folder a fleet's table files are kept in (`roster write --out`, `roster read --out`, the fleet
// dialog's folder of sent images), made ready before the first pager is touched, so that a folder
// that cannot take the files stops the run before it begins rather than after each Write.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace zr {

// Makes the folder when it is missing and proves it takes a new file; the reason when it cannot
// ("is not a folder", "cannot be made a folder: ...", "cannot be written: ...").
std::optional<std::string> PrepareImageFolder(const std::filesystem::path& folder);

}  // namespace zr

// A unit's name becomes the name of its table file (UNIT.tbl, kept by `roster write --out` and
// `roster read`), so it must be one on Linux and on Windows alike: a fleet planned on one machine is
// written and read back on the other.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zr {

// The longest name a file system takes for one file, in bytes (ext4), which also keeps within the
// 255 UTF-16 units of NTFS; a unit's name must leave room for ".tbl".
inline constexpr std::size_t kLongestFileName = 255;

// Why `name` cannot name a unit's table file, with the name as messages show it; nothing when it can.
std::optional<std::string> UnitNameFault(std::string_view name);

}  // namespace zr
